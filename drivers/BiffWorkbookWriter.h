#pragma once
// An Excel 97-2003 workbook (BIFF8) of one sheet whose cells all hold text.
//
// Each cell is a LABEL record, complete in itself, so the rows go out to a
// spool file as they come; Write then puts the workbook's global records,
// the sheet's leading records (which name the sheet's extent and column
// widths), the spooled cells and the sheet's closing records into the one
// stream of a compound document. Memory holds those few records, a width
// per column and one row, whatever the number of rows.

#include "SpoolFile.h"
#include "framework/StringTypes.h"

#include <cstdint>
#include <vector>

class CFile;

class CBiffWorkbookWriter
{
public:
    static constexpr int kMaxRows = 65536;
    static constexpr int kMaxColumns = 256;
    // In UTF-16 units: the most a LABEL record's string holds.
    static constexpr int kMaxCellChars = 255;

    enum class EResult {
        Added,
        SheetFull,      // the sheet has kMaxRows rows already
        TooManyColumns, // more cells than kMaxColumns
        CellTooLong,    // a cell of more than kMaxCellChars
        FileTooLarge,   // the file would outgrow what a compound document holds
    };
    enum class EStyle { Plain, Bold };

    // A workbook whose one sheet is named after strSheetName (UTF-8) as
    // MakeSheetName makes it.
    explicit CBiffWorkbookWriter(const CString& strSheetName);
    CBiffWorkbookWriter(const CBiffWorkbookWriter&) = delete;
    CBiffWorkbookWriter& operator=(const CBiffWorkbookWriter&) = delete;

    // Adds the next row, one cell per text (UTF-8; a byte that starts no
    // well-formed sequence stands for U+FFFD), from the first column on; an
    // empty text leaves its cell blank. Nothing of a row that is not Added
    // is kept. Throws CFileException when the spool file cannot be made or
    // written.
    EResult AddRow(const std::vector<CString>& cells, EStyle style = EStyle::Plain);

    int GetRowCount() const { return m_nRows; }

    // Writes the workbook to file, open for writing at its start. Throws
    // CFileException when the file cannot be written or the spool read.
    void Write(CFile& file);

    // A valid sheet name: at most 31 UTF-16 units, none of []:*?/\ or a
    // control character (each becomes "_"), no apostrophe at either end;
    // "Sheet1" when nothing is left.
    static CString MakeSheetName(const CString& strName);

private:
    CString MakeGlobals() const;
    CString MakeSheetHead() const;

    CString m_strSheetName;
    CSpoolFile m_spool;
    CString m_strRow;                       // the records of the row being added
    std::vector<std::uint16_t> m_arrWidths; // per column, in characters
    int m_nRows = 0;
    int m_nColumns = 0;
};
