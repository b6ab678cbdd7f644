#pragma once
// An Excel workbook (.xlsx) of one sheet, written by libxlsxwriter as the
// rows come: the column captions in bold in the first row, which stays in
// view (frozen) when the sheet scrolls and heads every printed page, then
// one row per table row; every cell a text cell, an autofilter over the
// table, each column as wide as its longest line (within bounds), pages
// printed across and, for a table not much wider than a page, shrunk to
// the page's width.
//
// Memory stays constant whatever the number of rows: the library's
// constant-memory mode keeps one row at a time and spools the sheet to an
// unnamed temporary file in the target's folder (where the workbook goes
// anyway, and which is not memory as a /tmp in RAM would be). The workbook
// is made under a temporary name beside the target and replaces it only
// when complete.
//
// Cells are kept whole within the format's limits:
// - bytes that are not well-formed UTF-8 become U+FFFD (str::Repaired);
// - control characters other than tab and LF, which XML cannot hold, are
//   stored as the format's escapes _xHHHH_ (Excel and LibreOffice read them
//   back as the characters); text that looks like such an escape is itself
//   escaped (_x005F_), so it reads back as written;
// - a cell holds at most 32,767 characters: a longer text is cut there.
// A sheet holds at most 1,048,576 rows, the captions included, and 16,384
// columns; a larger table is refused with a message that says so.

#include "FileRowSink.h"
#include "TempFileBeside.h"
#include "framework/RowSink.h"
#include "framework/StringTypes.h"

#include <cstdint>
#include <string_view>
#include <vector>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

class CXlsxRowSink final : public CFileRowSink
{
public:
    // The rows of a sheet, the captions included.
    static constexpr std::uint32_t kMaxRows = 1048576;

    // strSheetName names the sheet ("KorvaneData"); with bSync the workbook
    // is on the disk before it replaces the target. nMaxRows is for tests.
    CXlsxRowSink(CString strPath, CString strSheetName, bool bSync,
                 std::uint32_t nMaxRows = kMaxRows);
    ~CXlsxRowSink() override;

    bool BeginRows(const std::vector<CTableColumn>& columns) override;
    bool AddRow(const std::string_view* pCells, int nImage) override;
    bool EndRows() override;

    // The longest text a cell holds, in UTF-16 units.
    static constexpr size_t kMaxCellUnits = 32767;

private:
    // Writes a cell of the current row and widens its column to fit it.
    bool WriteCell(int nColumn, std::string_view cell, bool bCaption);
    bool Fail(const CString& strReason);
    void FreeWorkbook() noexcept;

    CTempFileBeside m_file;
    CString m_strSheetName;
    bool m_bSync;
    std::uint32_t m_nMaxRows;
    lxw_workbook* m_pWorkbook = nullptr;
    lxw_worksheet* m_pSheet = nullptr;
    lxw_format* m_pBold = nullptr;
    int m_nColumns = 0;
    std::uint32_t m_nRow = 0;      // the current row of the sheet
    std::uint64_t m_nXmlBytes = 0; // the most XML the sheet's rows can take
    std::vector<double> m_widths;  // per column, in characters
    CString m_strCell;
};
