#pragma once
// The parse of a data file for a caller that needs the rows only once and
// in order, as text: the command-line program writing tab or comma text.

#include "ParseCommand.h"
#include "framework/StringTypes.h"

#include <cstdint>
#include <functional>
#include <string_view>

class CListCtrl;

// RunParse into a new list, without the list: the file is read and parsed
// in pieces on several threads, and the text of each run of rows is handed
// on when it is ready instead of being stored, so a large file costs a few
// pieces' memory. The rows are those RunParse would leave in a list fresh
// from InitResultList (with an empty strLastTemplate), for the text that
// CLineArray::LoadJoined reads from the file.
class CStreamedParse
{
public:
    CStreamedParse(const CParseSettings& settings, const CString& strTemplate);

    // Gives a list fresh from InitResultList the columns of that run.
    void FillColumns(CListCtrl& list) const;
    int GetColumnCount() const { return m_nColumns; }
    // The size of the pieces the file is read in (for tests; about half a
    // megabyte by default).
    void SetPieceSize(std::uint64_t nSize) { m_nPieceSize = nSize; }

    // Appends the text of one row of GetColumnCount cells; called from
    // several threads at once. The cells never hold a CR or an LF: they are
    // pieces of lines.
    using FFormatRow = std::function<void(CString& strOut, const std::string_view* pCells)>;
    // Takes the text of the next rows; false stops the run.
    using FWrite = std::function<bool(std::string_view text)>;

    // Parses the data file, passing on the text of its rows in order.
    // False when the file cannot be read (strError says why) or write
    // returned false (strError empty).
    bool Run(const CString& strDataPath, const FFormatRow& format, const FWrite& write,
             CString& strError) const;

private:
    CParseSettings m_settings;
    CString m_strTemplate;
    int m_nColumns = 0;
    std::uint64_t m_nPieceSize = std::uint64_t{512} << 10;
};
