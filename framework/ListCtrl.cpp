#include "ListCtrl.h"

#include "Memory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

namespace {

// Rows share blocks of this size; a longer row gets a block of its own.
constexpr size_t kBlockSize = size_t{4} << 20;
constexpr size_t kBlockAlign = size_t{2} << 20;
// Once this much of the store belongs to no row, and more than is in use,
// the live rows are copied together.
constexpr size_t kCompactAfter = size_t{64} << 20;

// Reads the base-128 length at nPos; moves nPos past it.
size_t ReadLength(std::string_view s, size_t& nPos)
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

size_t LengthSize(size_t nValue)
{
    size_t n = 1;
    for (; nValue >= 0x80; nValue >>= 7)
        ++n;
    return n;
}

char* PutLength(char* p, size_t nValue)
{
    while (nValue >= 0x80) {
        *p++ = static_cast<char>((nValue & 0x7F) | 0x80);
        nValue >>= 7;
    }
    *p++ = static_cast<char>(nValue);
    return p;
}

void AppendLength(std::string& s, size_t nValue)
{
    char buf[10];
    s.append(buf, static_cast<size_t>(PutLength(buf, nValue) - buf));
}

// The offset after the cell whose length prefix is at nPos.
size_t CellEnd(std::string_view s, size_t nPos)
{
    const size_t nLen = ReadLength(s, nPos);
    return nPos + nLen;
}

// Offset of cell nSubItem's length prefix, or npos when the row stores fewer
// cells; nCount receives the number of cells walked over.
size_t FindCell(std::string_view s, int nSubItem, int& nCount)
{
    size_t nPos = 0;
    nCount = 0;
    while (nPos < s.size()) {
        if (nCount == nSubItem)
            return nPos;
        nPos = CellEnd(s, nPos);
        ++nCount;
    }
    return std::string::npos;
}

} // namespace

void CListCtrl::CFreeBlock::operator()(char* p) const { std::free(p); }

std::string_view CListCtrl::RowBytes(const CRow& row) const
{
    if (row.nSize == 0)
        return {};
    return {m_blocks[row.nBlock].get() + row.nOffset, row.nSize};
}

std::string_view CListCtrl::CellOf(const CRow& row, int nSubItem) const
{
    const std::string_view bytes = RowBytes(row);
    int nCount = 0;
    size_t nPos = FindCell(bytes, nSubItem, nCount);
    if (nPos == std::string::npos)
        return {};
    const size_t nLen = ReadLength(bytes, nPos);
    return bytes.substr(nPos, nLen);
}

bool CListCtrl::EndsStore(const CRow& row) const
{
    return row.nSize != 0 && row.nBlock + 1 == m_blocks.size() &&
        row.nOffset + row.nSize == m_nTailUsed;
}

char* CListCtrl::Allocate(size_t nBytes, CRow& row)
{
    if (nBytes > UINT32_MAX)
        throw std::length_error("list row too long");
    if (m_blocks.empty() || m_nTailUsed + nBytes > m_blockSizes.back()) {
        const size_t nSize = std::max(kBlockSize, (nBytes + kBlockAlign - 1) & ~(kBlockAlign - 1));
        char* p = static_cast<char*>(std::aligned_alloc(kBlockAlign, nSize));
        if (p == nullptr)
            throw std::bad_alloc();
        mem::AdviseHugePages(p, nSize);
        m_blocks.emplace_back(p);
        m_blockSizes.push_back(nSize);
        m_nTailUsed = 0;
    }
    row.nBlock = static_cast<std::uint32_t>(m_blocks.size() - 1);
    row.nOffset = static_cast<std::uint32_t>(m_nTailUsed);
    row.nSize = static_cast<std::uint32_t>(nBytes);
    m_nTailUsed += nBytes;
    m_nLiveBytes += nBytes;
    return m_blocks.back().get() + row.nOffset;
}

void CListCtrl::ForgetRow(const CRow& row)
{
    if (EndsStore(row))
        m_nTailUsed -= row.nSize;
    else
        m_nDeadBytes += row.nSize;
    m_nLiveBytes -= row.nSize;
}

void CListCtrl::StoreRow(CRow& row, std::string_view bytes)
{
    if (EndsStore(row) && row.nOffset + bytes.size() <= m_blockSizes.back()) {
        std::memmove(m_blocks.back().get() + row.nOffset, bytes.data(), bytes.size());
        m_nLiveBytes = m_nLiveBytes - row.nSize + bytes.size();
        m_nTailUsed = row.nOffset + bytes.size();
        row.nSize = static_cast<std::uint32_t>(bytes.size());
        return;
    }
    ForgetRow(row);
    row.nSize = 0;
    if (!bytes.empty())
        std::memcpy(Allocate(bytes.size(), row), bytes.data(), bytes.size());
    CompactIfWasteful();
}

void CListCtrl::CompactIfWasteful()
{
    if (m_nDeadBytes < kCompactAfter || m_nDeadBytes < m_nLiveBytes)
        return;
    std::vector<CBlock> oldBlocks;
    oldBlocks.swap(m_blocks);
    m_blockSizes.clear();
    m_nTailUsed = 0;
    m_nLiveBytes = 0;
    m_nDeadBytes = 0;
    for (CRow& row : m_rows) {
        if (row.nSize == 0)
            continue;
        const char* pOld = oldBlocks[row.nBlock].get() + row.nOffset;
        std::memcpy(Allocate(row.nSize, row), pOld, row.nSize);
    }
}

void CListCtrl::ClearStore()
{
    m_blocks.clear();
    m_blockSizes.clear();
    m_nTailUsed = 0;
    m_nLiveBytes = 0;
    m_nDeadBytes = 0;
}

void CListCtrl::SetCell(CRow& row, int nSubItem, std::string_view text)
{
    const std::string_view bytes = RowBytes(row);
    int nCount = 0;
    const size_t nPos = FindCell(bytes, nSubItem, nCount);
    if (nPos == std::string::npos) {
        // Appended after the stored cells: where the row ends the store and
        // the block has room, the new bytes go straight after it.
        const size_t nMissing = static_cast<size_t>(nSubItem - nCount);
        const size_t nAdd = nMissing + LengthSize(text.size()) + text.size();
        const bool bNew = row.nSize == 0;
        if (bNew || (EndsStore(row) && m_nTailUsed + nAdd <= m_blockSizes.back())) {
            char* p = bNew ? Allocate(nAdd, row) : m_blocks.back().get() + m_nTailUsed;
            std::memset(p, 0, nMissing);
            p = PutLength(p + nMissing, text.size());
            std::memcpy(p, text.data(), text.size());
            if (!bNew) {
                m_nTailUsed += nAdd;
                m_nLiveBytes += nAdd;
                row.nSize = static_cast<std::uint32_t>(row.nSize + nAdd);
            }
            return;
        }
        m_strScratch.assign(bytes);
        m_strScratch.append(nMissing, '\0');
        AppendLength(m_strScratch, text.size());
        m_strScratch.append(text);
        StoreRow(row, m_strScratch);
        return;
    }
    SpliceRow(row, nPos, CellEnd(bytes, nPos), text);
}

void CListCtrl::InsertCell(CRow& row, int nSubItem)
{
    int nCount = 0;
    const size_t nPos = FindCell(RowBytes(row), nSubItem, nCount);
    if (nPos != std::string::npos)
        SpliceRow(row, nPos, nPos, std::string_view());
}

void CListCtrl::EraseCell(CRow& row, int nSubItem)
{
    const std::string_view bytes = RowBytes(row);
    int nCount = 0;
    const size_t nPos = FindCell(bytes, nSubItem, nCount);
    if (nPos != std::string::npos)
        SpliceRow(row, nPos, CellEnd(bytes, nPos), std::nullopt);
}

void CListCtrl::SpliceRow(CRow& row, size_t nFrom, size_t nTo,
                          std::optional<std::string_view> cellText)
{
    const std::string_view bytes = RowBytes(row);
    m_strScratch.assign(bytes.substr(0, nFrom));
    if (cellText) {
        AppendLength(m_strScratch, cellText->size());
        m_strScratch.append(*cellText);
    }
    m_strScratch.append(bytes.substr(nTo));
    StoreRow(row, m_strScratch);
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
    CRow& stored = *m_rows.insert(m_rows.begin() + nItem, row);
    SetCell(stored, 0, strText);
    if (m_nSelected >= nItem)
        ++m_nSelected;
    if (Notifying())
        m_pObserver->OnEndInsertRow();
    return nItem;
}

int CListCtrl::AppendItem(const std::string_view* pTexts, int nCount, int nImage)
{
    nCount = std::max(0, std::min(nCount, GetColumnCount()));
    // Trailing empty cells are not stored, as cells never set are not; the
    // first cell always is, as InsertItem stores it.
    int nStored = nCount;
    while (nStored > 1 && pTexts[nStored - 1].empty())
        --nStored;
    size_t nBytes = 0;
    for (int j = 0; j < nStored; ++j)
        nBytes += LengthSize(pTexts[j].size()) + pTexts[j].size();
    if (nStored == 0)
        nBytes = 1; // an empty first cell, as InsertItem stores it
    CRow row;
    row.nImage = nImage;
    char* p = Allocate(nBytes, row);
    if (nStored == 0)
        *p = 0;
    for (int j = 0; j < nStored; ++j) {
        p = PutLength(p, pTexts[j].size());
        if (!pTexts[j].empty())
            std::memcpy(p, pTexts[j].data(), pTexts[j].size());
        p += pTexts[j].size();
    }
    const int nItem = GetItemCount();
    if (Notifying())
        m_pObserver->OnBeginInsertRow(nItem);
    m_rows.push_back(row);
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

int CListCtrl::GetItemTexts(int nItem, std::string_view* pTexts, int nCount) const
{
    if (nItem < 0 || nItem >= GetItemCount())
        return 0;
    nCount = std::min(nCount, GetColumnCount());
    const std::string_view bytes = RowBytes(m_rows[static_cast<size_t>(nItem)]);
    size_t nPos = 0;
    for (int j = 0; j < nCount; ++j) {
        if (nPos < bytes.size()) {
            const size_t nLen = ReadLength(bytes, nPos);
            pTexts[j] = bytes.substr(nPos, nLen);
            nPos += nLen;
        } else {
            pTexts[j] = {};
        }
    }
    return nCount;
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
    ForgetRow(m_rows[static_cast<size_t>(nItem)]);
    m_rows.erase(m_rows.begin() + nItem);
    if (m_rows.empty())
        ClearStore();
    else
        CompactIfWasteful();
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
    ClearStore();
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
