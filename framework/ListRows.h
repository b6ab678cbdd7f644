#pragma once
// The result list as a source of rows, and as a sink that takes them.

#include "RowSink.h"

class CListCtrl;

// The list's columns: captions whole, with their widths.
std::vector<CTableColumn> ColumnsOf(const CListCtrl& list);

// Hands the list as shown to the sink: its columns, then every row in list
// order with each cell whole and the row's image. False when the sink
// refused a step.
bool SendListRows(const CListCtrl& list, IRowSink& sink);

// Appends the rows it takes to the list, below the rows it has, as many
// cells as the list has columns. The list keeps the columns it has:
// BeginRows changes nothing.
class CListRowSink final : public IRowSink
{
public:
    explicit CListRowSink(CListCtrl& list) : m_list(list) {}

    bool BeginRows(const std::vector<CTableColumn>& columns) override;
    bool AddRow(const std::string_view* pCells, int nImage) override;
    bool EndRows() override { return true; }

private:
    CListCtrl& m_list;
};
