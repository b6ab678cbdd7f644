#pragma once
// A table as an HTML report: a table with the column names as its header row
// and one body row per row of the table.

#include "HtmlLog.h"
#include "framework/RowSink.h"

#include <functional>
#include <memory>
#include <vector>

class CListCtrl;

class CHtmlListReport : public CHtmlLog
{
public:
    CHtmlListReport() = default;
    ~CHtmlListReport() override = default;

    // Opens the report and, for a new file, writes the table start, the
    // caption strTitle and the header row of the column captions (each cut
    // to 255 bytes). The table has one slot more than there are columns;
    // that last cell stays empty. False, with GetError set, when the report
    // cannot be opened or begun.
    bool Create(const CString& strPath, const CString& strTitle,
                const std::vector<CTableColumn>& columns);
    bool Create(const CString& strPath, const CString& strTitle, const CListCtrl& list);

    // Writes a row of one whole text per column as a body row.
    bool AddRow(const std::string_view* pCells);
    // Writes list item nItem as a body row.
    bool AddListRow(const CListCtrl& list, int nItem);

private:
    int m_nColumns = 0;
};

// The rows it takes as the rows of the report at strPath, which a report
// written earlier gets added to (see CHtmlLog); the cells get widths in the
// proportions of the column widths. The report is written beside the path
// (a copy of the old one when rows are added to it) and put in its place
// only when complete, so an interrupted or failed save leaves the old file
// as it was. Writers of reports in one folder take turns: each holds a lock
// on the folder from the first row to the last, so that two programs adding
// to one report at once both keep their rows.
class CFolderLock;
class CHtmlRowSink final : public IRowSink
{
public:
    // onWait is told, once, when the lock has been held by another writer
    // for a second.
    CHtmlRowSink(CString strPath, CString strTitle, bool bReplace = false,
                 std::function<void(const CString&)> onWait = {});
    ~CHtmlRowSink() override;

    bool BeginRows(const std::vector<CTableColumn>& columns) override;
    bool AddRow(const std::string_view* pCells, int nImage) override;
    bool EndRows() override;
    CString GetError() const override;

private:
    bool Failed();
    bool PrepareTemp();

    CString m_strPath;
    CString m_strTitle;
    bool m_bReplace;
    CString m_strTempPath; // the new report, until it takes the path's place
    CString m_strError;
    std::function<void(const CString&)> m_onWait;
    std::unique_ptr<CFolderLock> m_pLock;
    CHtmlListReport m_report;
    bool m_bDone = false;
};
