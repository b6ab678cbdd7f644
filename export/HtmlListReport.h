#pragma once
// A table as an HTML report: a table with the column names as its header row
// and one body row per row of the table.

#include "HtmlLog.h"
#include "framework/RowSink.h"

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
// proportions of the column widths. A report that is not completed is put
// back as it was. A new report (or, with bReplace, one that replaces what
// was at the path) is written beside the path and put in its place only
// when complete.
class CHtmlRowSink final : public IRowSink
{
public:
    CHtmlRowSink(CString strPath, CString strTitle, bool bReplace = false);
    ~CHtmlRowSink() override;

    bool BeginRows(const std::vector<CTableColumn>& columns) override;
    bool AddRow(const std::string_view* pCells, int nImage) override;
    bool EndRows() override;
    CString GetError() const override;

private:
    bool Failed();

    CString m_strPath;
    CString m_strTitle;
    bool m_bReplace;
    CString m_strTempPath; // the new report, until it takes the path's place
    CString m_strError;
    CHtmlListReport m_report;
    bool m_bDone = false;
};
