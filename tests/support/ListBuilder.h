#pragma once
// Builds a result list from captions, widths and rows in one expression.

#include "framework/ListCtrl.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct CColumnDef
{
    std::string strCaption;
    int nWidth = 120;
};

inline std::unique_ptr<CListCtrl> MakeList(const std::vector<CColumnDef>& columns,
                                           const std::vector<std::vector<std::string>>& rows)
{
    auto list = std::make_unique<CListCtrl>();
    for (const CColumnDef& column : columns)
        list->InsertColumn(list->GetColumnCount(), column.strCaption, LVCFMT_LEFT, column.nWidth);
    for (const auto& row : rows) {
        const int nRow = list->InsertItem(list->GetItemCount(), row.empty() ? "" : row[0]);
        for (size_t j = 1; j < row.size(); ++j)
            list->SetItemText(nRow, static_cast<int>(j), row[j]);
    }
    return list;
}
