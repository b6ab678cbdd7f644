#pragma once
// The result list: a report-style table of columns and rows.
//
// This is the model that stands in for the platform's list view and its
// header control. The parse writes it, the window's view shows it, and every
// copy, print and export reads it, so it is the only copy of the results
// once a parse has finished. Columns have a caption, an alignment and a
// width in pixels; rows have one text per column and an image index; at most
// one row is selected.
//
// Reads of a row or column that does not exist give an empty text (or -1 for
// an image) and writes to one change nothing, as the platform control does.

#include "Memory.h"
#include "StringTypes.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

enum EColumnFormat { LVCFMT_LEFT = 0, LVCFMT_RIGHT = 1, LVCFMT_CENTER = 2 };

// Extended styles of the report view, as the window sets them.
enum : unsigned {
    LVS_EX_GRIDLINES = 0x01,
    LVS_EX_SUBITEMIMAGES = 0x02,
    LVS_EX_FULLROWSELECT = 0x20,
};

// Told about every change, in pairs around it, so that a view can keep its
// own bookkeeping (a Qt item model) exactly in step. While redraw is off
// (SetRedraw(false)) single changes are not reported; the whole stretch is
// reported as one reset instead.
class IListObserver
{
public:
    virtual ~IListObserver() = default;
    virtual void OnBeginReset() = 0;
    virtual void OnEndReset() = 0;
    virtual void OnBeginInsertRow(int nRow) = 0;
    virtual void OnEndInsertRow() = 0;
    virtual void OnBeginRemoveRow(int nRow) = 0;
    virtual void OnEndRemoveRow() = 0;
    virtual void OnBeginInsertColumn(int nCol) = 0;
    virtual void OnEndInsertColumn() = 0;
    virtual void OnBeginRemoveColumn(int nCol) = 0;
    virtual void OnEndRemoveColumn() = 0;
    virtual void OnCellChanged(int nRow, int nCol) = 0;
    virtual void OnColumnChanged(int nCol) = 0;
    virtual void OnSelectionChanged(int nRow) = 0;
    // The list is going away; the observer must forget it.
    virtual void OnListDestroyed() = 0;
};

class CListCtrl
{
public:
    // The size of the platform's text buffers that bounded reads emulate: a
    // read into a 256-byte buffer yields at most 255 bytes.
    static constexpr int kTextBuffer = 256;

    CListCtrl() = default;
    virtual ~CListCtrl();
    CListCtrl(const CListCtrl&) = delete;
    CListCtrl& operator=(const CListCtrl&) = delete;

    void SetObserver(IListObserver* pObserver) { m_pObserver = pObserver; }

    // --- header ---
    int GetColumnCount() const { return static_cast<int>(m_columns.size()); }
    // Inserts a column before nCol (clamped to the end) and returns its index.
    int InsertColumn(int nCol, const CString& strCaption, int nFormat = LVCFMT_LEFT,
                     int nWidth = -1, int nSubItem = -1);
    bool DeleteColumn(int nCol);
    // The caption as a read into a buffer of nBuffer bytes gives it: at most
    // nBuffer - 1 bytes.
    CString GetColumnCaption(int nCol, int nBuffer = kTextBuffer) const;
    // The caption whole, for the view.
    CString GetColumnCaptionWhole(int nCol) const;
    int GetColumnFormat(int nCol) const;
    // Right minus left of the column's header item.
    int GetColumnWidth(int nCol) const;
    bool SetColumnWidth(int nCol, int nWidth);

    // --- rows ---
    int GetItemCount() const { return static_cast<int>(m_rows.size()); }
    // Inserts a row before nItem (clamped to the end) whose first cell is
    // strText; returns its index, or -1 on failure.
    int InsertItem(int nItem, std::string_view strText, int nImage = -1);
    bool SetItemText(int nItem, int nSubItem, std::string_view strText);
    // Appends a row whose first nCount cells are the texts (at most one per
    // column; empty texts are cells never set); returns its index.
    int AppendItem(const std::string_view* pTexts, int nCount, int nImage = -1);
    // The whole cell text, of any length; empty when never set.
    CString GetItemText(int nItem, int nSubItem) const;
    std::string_view GetItemTextView(int nItem, int nSubItem) const;
    // The texts of the first nCount cells of a row in one pass (fewer when
    // the list has fewer columns); returns how many were written.
    int GetItemTexts(int nItem, std::string_view* pTexts, int nCount) const;
    // The cell text as a read into a buffer of nBuffer bytes gives it.
    CString GetItemTextBounded(int nItem, int nSubItem, int nBuffer = kTextBuffer) const;
    int GetItemImage(int nItem) const;
    bool DeleteItem(int nItem);
    bool DeleteAllItems();

    // --- selection (single) ---
    // The first selected row after nStart (-1 starts before the first row).
    int GetNextSelectedItem(int nStart = -1) const;
    void SetSelectedItem(int nItem);

    // --- style and drawing ---
    void SetExtendedStyle(unsigned nStyle) { m_nExtendedStyle = nStyle; }
    unsigned GetExtendedStyle() const { return m_nExtendedStyle; }
    // Off: changes are gathered and reported as one reset when it is turned on.
    void SetRedraw(bool bRedraw);

    // Reserves room for nRows rows, a hint for large fills.
    void ReserveItems(size_t nRows) { m_rows.reserve(nRows); }

private:
    struct CColumn
    {
        CString strCaption;
        int nFormat = LVCFMT_LEFT;
        int nWidth = 0;
    };
    // The cells of a row are packed into one run of bytes: for each cell,
    // its length as a little-endian base-128 number followed by its bytes.
    // Trailing cells that were never set are absent. The runs of all rows
    // live in large shared blocks, so a row costs no allocation of its own;
    // a row that changes moves to the end of the store unless it is already
    // there, and the store is compacted once most of it is left behind.
    struct CRow
    {
        std::uint32_t nBlock = 0;
        std::uint32_t nOffset = 0;
        std::uint32_t nSize = 0;
        int nImage = -1;
    };
    struct CFreeBlock
    {
        void operator()(char* p) const;
    };
    using CBlock = std::unique_ptr<char, CFreeBlock>;

    std::string_view RowBytes(const CRow& row) const;
    std::string_view CellOf(const CRow& row, int nSubItem) const;
    void SetCell(CRow& row, int nSubItem, std::string_view text);
    void InsertCell(CRow& row, int nSubItem);
    void EraseCell(CRow& row, int nSubItem);
    // Stores the row with its bytes from nFrom to nTo replaced by a cell of
    // cellText, or by nothing without one.
    void SpliceRow(CRow& row, size_t nFrom, size_t nTo, std::optional<std::string_view> cellText);
    // Gives the row the bytes of bytes, in place when it ends the store.
    void StoreRow(CRow& row, std::string_view bytes);
    bool EndsStore(const CRow& row) const;
    // Room for nBytes at the end of the store.
    char* Allocate(size_t nBytes, CRow& row);
    void ForgetRow(const CRow& row);
    void CompactIfWasteful();
    void ClearStore();

    bool Notifying() const { return m_pObserver != nullptr && m_bRedraw; }

    std::vector<CColumn> m_columns;
    std::vector<CRow, mem::CLargeAllocator<CRow>> m_rows;
    std::vector<CBlock> m_blocks;
    std::vector<size_t> m_blockSizes;
    size_t m_nTailUsed = 0; // bytes taken in the last block
    size_t m_nLiveBytes = 0;
    size_t m_nDeadBytes = 0;
    std::string m_strScratch;
    int m_nSelected = -1;
    unsigned m_nExtendedStyle = 0;
    bool m_bRedraw = true;
    IListObserver* m_pObserver = nullptr;
};
