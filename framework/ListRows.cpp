#include "ListRows.h"

#include "ListCtrl.h"

std::vector<CTableColumn> ColumnsOf(const CListCtrl& list)
{
    std::vector<CTableColumn> columns;
    for (int j = 0; j < list.GetColumnCount(); ++j)
        columns.push_back(CTableColumn{list.GetColumnCaptionWhole(j), list.GetColumnWidth(j)});
    return columns;
}

bool SendListRows(const CListCtrl& list, IRowSink& sink)
{
    if (!sink.BeginRows(ColumnsOf(list)))
        return false;
    const int nColumns = list.GetColumnCount();
    std::vector<std::string_view> cells(static_cast<size_t>(nColumns));
    for (int i = 0; i < list.GetItemCount(); ++i) {
        list.GetItemTexts(i, cells.data(), nColumns);
        if (!sink.AddRow(cells.data(), list.GetItemImage(i)))
            return false;
    }
    return sink.EndRows();
}

bool CListRowSink::BeginRows(const std::vector<CTableColumn>& /*columns*/) { return true; }

bool CListRowSink::AddRow(const std::string_view* pCells, int nImage)
{
    return m_list.AppendItem(pCells, m_list.GetColumnCount(), nImage) >= 0;
}
