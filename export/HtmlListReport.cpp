#include "HtmlListReport.h"

#include "framework/ListCtrl.h"

namespace {

const CHtmlRowStyle kHeaderStyle{0xFFFFFF, 3};
const CHtmlRowStyle kBodyStyle{0x000000, 2};
constexpr COLORREF kHeaderBack = 0x7799CC;

} // namespace

bool CHtmlListReport::Create(const CString& strPath, const CString& strTitle, const CListCtrl& list)
{
    m_strTitle = strTitle;
    if (!Open(strPath, strTitle, 0x000000, 0x000000))
        return false;
    const int nColumns = list.GetColumnCount();
    if (!IsNewFile())
        return BeginTable(nColumns + 1, strTitle, false, 1, 100, alignCenter);
    if (!BeginTable(nColumns + 1, strTitle, true, 1, 100, alignCenter))
        return false;
    for (int j = 0; j < nColumns; ++j)
        SetCellText(j, list.GetColumnCaption(j, CListCtrl::kTextBuffer));
    SetNextRowColor(kHeaderBack);
    return WriteRow(kHeaderStyle, true);
}

bool CHtmlListReport::AddListRow(const CListCtrl& list, int nItem)
{
    for (int j = 0; j < list.GetColumnCount(); ++j)
        SetCellText(j, list.GetItemTextView(nItem, j));
    return WriteRow(kBodyStyle, false);
}
