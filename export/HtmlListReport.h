#pragma once
// The result list as an HTML report: a table with the list's column names
// as its header row and one body row per list item.

#include "HtmlLog.h"

class CListCtrl;

class CHtmlListReport : public CHtmlLog
{
public:
    CHtmlListReport() = default;
    ~CHtmlListReport() override = default;

    // Opens the report and, for a new file, writes the table start, the
    // caption strTitle and the header row of the list's column captions
    // (each cut to 255 bytes). The table has one slot more than the list has
    // columns; that last cell stays empty. False, with GetError set, when the
    // report cannot be opened or begun.
    bool Create(const CString& strPath, const CString& strTitle, const CListCtrl& list);

    // Writes list item nItem as a body row.
    bool AddListRow(const CListCtrl& list, int nItem);
};
