#include "ListCtrl.h"

#include <algorithm>

namespace {

// Reads the base-128 length at nPos; moves nPos past it.
size_t ReadLength(const std::string& s, size_t& nPos)
{
    size_t nValue = 0;
    int nShift = 0;
    for (;;) {
        const auto by = static_cast<unsigned char>(s[nPos++]);
        nValue |= static_cast<size_t>(by & 0x7F) << nShift;
        if ((by & 0x80) == 0)
            return nValue;
        nShift += 7;
    }
}

void AppendLength(std::string& s, size_t nValue)
{
    while (nValue >= 0x80) {
        s.push_back(static_cast<char>((nValue & 0x7F) | 0x80));
        nValue >>= 7;
    }
    s.push_back(static_cast<char>(nValue));
}

// Offset of cell nSubItem's length prefix, or npos when the row stores fewer
// cells; nCount receives the number of cells walked over.
size_t FindCell(const std::string& s, int nSubItem, int& nCount)
{
    size_t nPos = 0;
    nCount = 0;
    while (nPos < s.size()) {
        if (nCount == nSubItem)
            return nPos;
        size_t nAt = nPos;
        const size_t nLen = ReadLength(s, nAt);
        nPos = nAt + nLen;
        ++nCount;
    }
    return std::string::npos;
}

} // namespace

std::string_view CListCtrl::CellOf(const CRow& row, int nSubItem)
{
    int nCount = 0;
    size_t nPos = FindCell(row.strCells, nSubItem, nCount);
    if (nPos == std::string::npos)
        return {};
    const size_t nLen = ReadLength(row.strCells, nPos);
    return std::string_view(row.strCells).substr(nPos, nLen);
}

void CListCtrl::SetCell(CRow& row, int nSubItem, std::string_view text)
{
    std::string& s = row.strCells;
    int nCount = 0;
    const size_t nPos = FindCell(s, nSubItem, nCount);
    if (nPos == std::string::npos) {
        for (; nCount < nSubItem; ++nCount)
            AppendLength(s, 0);
        AppendLength(s, text.size());
        s.append(text);
        return;
    }
    size_t nAt = nPos;
    const size_t nOldLen = ReadLength(s, nAt);
    std::string prefix;
    AppendLength(prefix, text.size());
    prefix.append(text);
    s.replace(nPos, nAt + nOldLen - nPos, prefix);
}

void CListCtrl::InsertCell(CRow& row, int nSubItem)
{
    std::string& s = row.strCells;
    int nCount = 0;
    const size_t nPos = FindCell(s, nSubItem, nCount);
    if (nPos != std::string::npos)
        s.insert(nPos, 1, '\0');
}

void CListCtrl::EraseCell(CRow& row, int nSubItem)
{
    std::string& s = row.strCells;
    int nCount = 0;
    const size_t nPos = FindCell(s, nSubItem, nCount);
    if (nPos == std::string::npos)
        return;
    size_t nAt = nPos;
    const size_t nLen = ReadLength(s, nAt);
    s.erase(nPos, nAt + nLen - nPos);
}

CListCtrl::~CListCtrl()
{
    if (m_pObserver != nullptr)
        m_pObserver->OnListDestroyed();
}

int CListCtrl::InsertColumn(int nCol, const CString& strCaption, int nFormat, int nWidth,
                            int /*nSubItem*/)
{
    if (nCol < 0)
        return -1;
    nCol = std::min(nCol, GetColumnCount());
    if (Notifying())
        m_pObserver->OnBeginInsertColumn(nCol);
    CColumn column;
    column.strCaption = strCaption;
    column.nFormat = nFormat;
    column.nWidth = nWidth < 0 ? 0 : nWidth;
    m_columns.insert(m_columns.begin() + nCol, column);
    if (nCol < GetColumnCount() - 1) {
        for (CRow& row : m_rows)
            InsertCell(row, nCol);
    }
    if (Notifying())
        m_pObserver->OnEndInsertColumn();
    return nCol;
}

bool CListCtrl::DeleteColumn(int nCol)
{
    if (nCol < 0 || nCol >= GetColumnCount())
        return false;
    if (Notifying())
        m_pObserver->OnBeginRemoveColumn(nCol);
    m_columns.erase(m_columns.begin() + nCol);
    for (CRow& row : m_rows)
        EraseCell(row, nCol);
    if (Notifying())
        m_pObserver->OnEndRemoveColumn();
    return true;
}

CString CListCtrl::GetColumnCaption(int nCol, int nBuffer) const
{
    if (nCol < 0 || nCol >= GetColumnCount() || nBuffer <= 0)
        return {};
    const CString& caption = m_columns[static_cast<size_t>(nCol)].strCaption;
    return caption.substr(0, static_cast<size_t>(nBuffer - 1));
}

CString CListCtrl::GetColumnCaptionWhole(int nCol) const
{
    if (nCol < 0 || nCol >= GetColumnCount())
        return {};
    return m_columns[static_cast<size_t>(nCol)].strCaption;
}

int CListCtrl::GetColumnFormat(int nCol) const
{
    if (nCol < 0 || nCol >= GetColumnCount())
        return LVCFMT_LEFT;
    return m_columns[static_cast<size_t>(nCol)].nFormat;
}

int CListCtrl::GetColumnWidth(int nCol) const
{
    if (nCol < 0 || nCol >= GetColumnCount())
        return 0;
    return m_columns[static_cast<size_t>(nCol)].nWidth;
}

bool CListCtrl::SetColumnWidth(int nCol, int nWidth)
{
    if (nCol < 0 || nCol >= GetColumnCount())
        return false;
    int& nStored = m_columns[static_cast<size_t>(nCol)].nWidth;
    const int nNew = std::max(0, nWidth);
    if (nStored == nNew)
        return true;
    nStored = nNew;
    if (Notifying())
        m_pObserver->OnColumnChanged(nCol);
    return true;
}

int CListCtrl::InsertItem(int nItem, std::string_view strText, int nImage)
{
    if (nItem < 0)
        return -1;
    nItem = std::min(nItem, GetItemCount());
    if (Notifying())
        m_pObserver->OnBeginInsertRow(nItem);
    CRow row;
    row.nImage = nImage;
    SetCell(row, 0, strText);
    m_rows.insert(m_rows.begin() + nItem, std::move(row));
    if (m_nSelected >= nItem)
        ++m_nSelected;
    if (Notifying())
        m_pObserver->OnEndInsertRow();
    return nItem;
}

bool CListCtrl::SetItemText(int nItem, int nSubItem, std::string_view strText)
{
    if (nItem < 0 || nItem >= GetItemCount() || nSubItem < 0 || nSubItem >= GetColumnCount())
        return false;
    SetCell(m_rows[static_cast<size_t>(nItem)], nSubItem, strText);
    if (Notifying())
        m_pObserver->OnCellChanged(nItem, nSubItem);
    return true;
}

std::string_view CListCtrl::GetItemTextView(int nItem, int nSubItem) const
{
    if (nItem < 0 || nItem >= GetItemCount() || nSubItem < 0 || nSubItem >= GetColumnCount())
        return {};
    return CellOf(m_rows[static_cast<size_t>(nItem)], nSubItem);
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    return CString(GetItemTextView(nItem, nSubItem));
}

CString CListCtrl::GetItemTextBounded(int nItem, int nSubItem, int nBuffer) const
{
    if (nBuffer <= 0)
        return {};
    return CString(GetItemTextView(nItem, nSubItem).substr(0, static_cast<size_t>(nBuffer - 1)));
}

int CListCtrl::GetItemImage(int nItem) const
{
    if (nItem < 0 || nItem >= GetItemCount())
        return -1;
    return m_rows[static_cast<size_t>(nItem)].nImage;
}

bool CListCtrl::DeleteItem(int nItem)
{
    if (nItem < 0 || nItem >= GetItemCount())
        return false;
    if (Notifying())
        m_pObserver->OnBeginRemoveRow(nItem);
    m_rows.erase(m_rows.begin() + nItem);
    const bool bSelectionChanged = m_nSelected == nItem;
    if (m_nSelected == nItem)
        m_nSelected = -1;
    else if (m_nSelected > nItem)
        --m_nSelected;
    if (Notifying()) {
        m_pObserver->OnEndRemoveRow();
        if (bSelectionChanged)
            m_pObserver->OnSelectionChanged(-1);
    }
    return true;
}

bool CListCtrl::DeleteAllItems()
{
    if (Notifying())
        m_pObserver->OnBeginReset();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_nSelected = -1;
    if (Notifying())
        m_pObserver->OnEndReset();
    return true;
}

int CListCtrl::GetNextSelectedItem(int nStart) const
{
    if (m_nSelected > nStart)
        return m_nSelected;
    return -1;
}

void CListCtrl::SetSelectedItem(int nItem)
{
    if (nItem < -1 || nItem >= GetItemCount())
        nItem = -1;
    if (nItem == m_nSelected)
        return;
    m_nSelected = nItem;
    if (Notifying())
        m_pObserver->OnSelectionChanged(nItem);
}

void CListCtrl::SetRedraw(bool bRedraw)
{
    if (bRedraw == m_bRedraw)
        return;
    if (!bRedraw) {
        if (m_pObserver != nullptr)
            m_pObserver->OnBeginReset();
        m_bRedraw = false;
    } else {
        m_bRedraw = true;
        if (m_pObserver != nullptr)
            m_pObserver->OnEndReset();
    }
}
