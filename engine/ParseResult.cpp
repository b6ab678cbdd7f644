#include "ParseResult.h"

#include "EditableString.h"
#include "TemplateMatcher.h"
#include "framework/ListCtrl.h"

int CParseResult::CollectFieldNames(const CString& strTemplate, const CString& lpszLineBreak,
                                    const CString& strStartTag, const CString& strEndTag)
{
    m_arrFieldNames.RemoveAll();
    CLineArray lines;
    lines.Split(strTemplate, lpszLineBreak);
    lines.CollectPlaceholders(m_arrFieldNames, strStartTag, strEndTag, "\r\n");
    m_arrFieldNames.RemoveDuplicates();
    return m_arrFieldNames.GetSize();
}

int CParseResult::FindColumn(const CFieldValue& value) const
{
    for (int i = 0; i < m_arrFieldNames.GetSize(); ++i) {
        if (m_arrFieldNames[i] == value.m_strName)
            return i;
    }
    return -1;
}

CString CParseResult::GetColumnTitle(const CString& strName, const CString& strStartTag,
                                     const CString& strEndTag)
{
    CEditableString w(strName);
    CString strCharset;
    if (CTemplateMatcher::GetCustomCharset(strCharset, strName))
        w.ReplaceAll("{$$" + strCharset + "$$}", "", true);
    w.ReplaceAll(strStartTag, "", true);
    w.ReplaceAll(strEndTag, "", true);
    return w.m_str;
}

void CParseResult::FillList(CListCtrl& list, bool bRebuildColumns, const CString& strStartTag,
                            const CString& strEndTag) const
{
    // A fill may append a million rows; the view hears of it once.
    list.SetRedraw(false);
    if (bRebuildColumns) {
        const int nColumns = list.GetColumnCount();
        list.DeleteAllItems();
        for (int i = 0; i < nColumns; ++i)
            list.DeleteColumn(0);
        for (int i = 0; i < m_arrFieldNames.GetSize(); ++i) {
            list.InsertColumn(i, GetColumnTitle(m_arrFieldNames[i], strStartTag, strEndTag),
                              LVCFMT_LEFT, 120, -1);
        }
    }
    int nRow = 0;
    for (const CFieldValue& value : m_listValues) {
        const int nCol = FindColumn(value);
        if (nCol == 0) {
            nRow = list.GetItemCount();
            list.InsertItem(nRow, value.m_strValue, -1);
        } else if (nCol > 0) {
            list.SetItemText(nRow, nCol, value.m_strValue);
        }
    }
    list.SetRedraw(true);
}
