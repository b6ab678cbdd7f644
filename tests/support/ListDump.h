#pragma once
// A readable dump of a result list, for table-driven expectations:
// captions joined by "|" on the first line, then one line per row.

#include "framework/ListCtrl.h"

#include <string>

inline std::string DumpList(const CListCtrl& list)
{
    std::string out;
    for (int j = 0; j < list.GetColumnCount(); ++j) {
        if (j > 0)
            out += '|';
        out += list.GetColumnCaptionWhole(j);
    }
    out += '\n';
    for (int i = 0; i < list.GetItemCount(); ++i) {
        for (int j = 0; j < list.GetColumnCount(); ++j) {
            if (j > 0)
                out += '|';
            out += list.GetItemText(i, j);
        }
        out += '\n';
    }
    return out;
}

// Rows only, "|" between cells, one line per row.
inline std::string DumpRows(const CListCtrl& list)
{
    const std::string all = DumpList(list);
    return all.substr(all.find('\n') + 1);
}
