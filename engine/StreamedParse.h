#pragma once
// The parse of a data text for a caller that takes the rows once and in
// order: the command-line program writing any format, and the window
// filling its list. The text is parsed in pieces on several threads and the
// rows of each piece are handed on when they are ready instead of being
// stored, so a large file costs a few pieces' memory.

#include "ParseReport.h"
#include "ParseSettings.h"
#include "framework/RowSink.h"
#include "framework/StringTypes.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

class CListCtrl;

// The rows are those RunParse leaves in a list fresh from InitResultList
// (with an empty strLastTemplate), for the text that CLineArray::LoadJoined
// reads from the file, or for the text given.
class CStreamedParse
{
public:
    CStreamedParse(const CParseSettings& settings, const CString& strTemplate);

    // The columns of a list fresh from InitResultList after the run.
    const std::vector<CTableColumn>& GetColumns() const { return m_columns; }
    int GetColumnCount() const { return static_cast<int>(m_columns.size()); }
    // Gives a list fresh from InitResultList the columns of that run.
    void FillColumns(CListCtrl& list) const;
    // The size of the pieces the text is read in (for tests; about half a
    // megabyte by default).
    void SetPieceSize(std::uint64_t nSize) { m_nPieceSize = nSize; }

    // Parses the data file into the sink: BeginRows with GetColumns, the
    // rows, EndRows. False when the file cannot be read (strError names it
    // and the reason) or the sink refused a step (strError is the sink's
    // error). A sink that throws a CUserException ends the run with that
    // exception; any other exception ends it with a message naming the file.
    // pReport receives what the parse did.
    bool Run(const CString& strDataPath, IRowSink& sink, CString& strError,
             CParseReport* pReport = nullptr) const;

    // The rows of a text in memory, of nColumns cells each (the columns of
    // the list they go to), into the sink; BeginRows and EndRows are the
    // caller's. The text must stay as it is during the run.
    bool RunText(std::string_view text, int nColumns, IRowSink& sink, CString& strError,
                 CParseReport* pReport = nullptr) const;

    // The file's rows as text: format appends the text of one row of
    // GetColumnCount cells (called from several threads at once), write
    // takes the text of the next rows (false stops the run).
    using FFormatRow = std::function<void(CString& strOut, const std::string_view* pCells)>;
    using FWrite = std::function<bool(std::string_view text)>;
    bool Run(const CString& strDataPath, const FFormatRow& format, const FWrite& write,
             CString& strError) const;

private:
    // The file at strDataPath, named strName in messages.
    bool RunFile(const CString& strDataPath, const CString& strName, IRowSink& sink,
                 CString& strError, CParseReport* pReport) const;
    bool RunStream(int fd, const CString& strName, IRowSink& sink, CString& strError,
                   CParseReport* pReport) const;
    // BeginRows, the rows parse gives with the run's matcher, output and
    // report, EndRows when it gives Done; pReport receives the report.
    template <typename FParse>
    bool RunRows(IRowSink& sink, CString& strError, CParseReport* pReport,
                 const FParse& parse) const;

    CParseSettings m_settings;
    CString m_strTemplate;
    std::vector<CTableColumn> m_columns;
    std::uint64_t m_nPieceSize = std::uint64_t{512} << 10;
};
