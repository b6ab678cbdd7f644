#include "ListExporter.h"

#include "HtmlListReport.h"
#include "framework/ListCtrl.h"

#include <cstdint>

int CListExporter::SaveAsHtml(const CString& strPath, const CListCtrl& list,
                              CString& strError) const
{
    CHtmlListReport report;
    if (!report.Create(strPath, "Korvane Report", list)) {
        strError = report.GetError();
        return 0;
    }
    const int nColumns = list.GetColumnCount();
    std::int64_t nSum = 0;
    for (int j = 0; j < nColumns; ++j)
        nSum += list.GetColumnWidth(j);
    // With no width to share out, the cells simply get no width attribute.
    if (nSum > 0) {
        for (int j = 0; j < nColumns; ++j)
            report.SetCellWidth(
                j, static_cast<int>(list.GetColumnWidth(j) * std::int64_t{100} / nSum));
    }
    bool bOk = true;
    for (int i = 0; bOk && i < list.GetItemCount(); ++i)
        bOk = report.AddListRow(list, i);
    bOk = bOk && report.Flush() && report.Close();
    if (!bOk) {
        // Close puts the file back as it was before this save.
        report.Close();
        strError = report.GetError();
        return 0;
    }
    return 1;
}
