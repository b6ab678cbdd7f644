#include "framework/ListCtrl.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

class CRecordingObserver : public IListObserver
{
public:
    void OnBeginReset() override { m_events.push_back("begin-reset"); }
    void OnEndReset() override { m_events.push_back("end-reset"); }
    void OnBeginInsertRow(int nRow) override { Record("insert-row", nRow); }
    void OnEndInsertRow() override {}
    void OnBeginRemoveRow(int nRow) override { Record("remove-row", nRow); }
    void OnEndRemoveRow() override {}
    void OnBeginInsertColumn(int nCol) override { Record("insert-col", nCol); }
    void OnEndInsertColumn() override {}
    void OnBeginRemoveColumn(int nCol) override { Record("remove-col", nCol); }
    void OnEndRemoveColumn() override {}
    void OnCellChanged(int nRow, int nCol) override
    {
        m_events.push_back("cell " + std::to_string(nRow) + "," + std::to_string(nCol));
    }
    void OnColumnChanged(int nCol) override { Record("col", nCol); }
    void OnSelectionChanged(int nRow) override { Record("select", nRow); }
    void OnListDestroyed() override { m_events.push_back("destroyed"); }

    std::vector<std::string> m_events;

private:
    void Record(const char* pszEvent, int n)
    {
        m_events.push_back(std::string(pszEvent) + " " + std::to_string(n));
    }
};

std::string Row(const CListCtrl& list, int nRow)
{
    std::string out;
    for (int j = 0; j < list.GetColumnCount(); ++j)
        out += (j ? "|" : "") + list.GetItemText(nRow, j);
    return out;
}

CListCtrl& ThreeColumns(CListCtrl& list)
{
    list.InsertColumn(0, "a", LVCFMT_LEFT, 120);
    list.InsertColumn(1, "b", LVCFMT_LEFT, 120);
    list.InsertColumn(2, "c", LVCFMT_LEFT, 120);
    return list;
}

} // namespace

TEST(ListCtrl, CellsOfAnyLengthInAnyOrder)
{
    CListCtrl list;
    ThreeColumns(list);
    const std::string big(100000, 'x');
    ASSERT_EQ(list.InsertItem(0, "first"), 0);
    EXPECT_TRUE(list.SetItemText(0, 2, big));
    EXPECT_EQ(list.GetItemText(0, 1), "");
    EXPECT_TRUE(list.SetItemText(0, 1, "mid"));
    EXPECT_TRUE(list.SetItemText(0, 0, ""));
    EXPECT_EQ(list.GetItemText(0, 0), "");
    EXPECT_EQ(list.GetItemText(0, 1), "mid");
    EXPECT_EQ(list.GetItemText(0, 2), big);
    EXPECT_TRUE(list.SetItemText(0, 2, "short"));
    EXPECT_EQ(Row(list, 0), "|mid|short");
    // Texts may hold any byte, NUL included.
    EXPECT_TRUE(list.SetItemText(0, 1, std::string("a\0b\x80", 4)));
    EXPECT_EQ(list.GetItemText(0, 1), std::string("a\0b\x80", 4));
    EXPECT_EQ(list.GetItemText(0, 2), "short");
}

TEST(ListCtrl, OutOfRangeReadsAndWritesChangeNothing)
{
    CListCtrl list;
    ThreeColumns(list);
    EXPECT_FALSE(list.SetItemText(0, 0, "x"));
    list.InsertItem(0, "r0");
    EXPECT_FALSE(list.SetItemText(0, 3, "x"));
    EXPECT_FALSE(list.SetItemText(1, 0, "x"));
    EXPECT_FALSE(list.SetItemText(-1, 0, "x"));
    EXPECT_EQ(list.GetItemText(5, 0), "");
    EXPECT_EQ(list.GetItemImage(5), -1);
    EXPECT_EQ(list.GetColumnCaption(9), "");
    EXPECT_FALSE(list.DeleteColumn(3));
    EXPECT_FALSE(list.DeleteItem(1));
    EXPECT_EQ(list.InsertItem(99, "r1"), 1); // clamped to the end
}

TEST(ListCtrl, ColumnsShiftTheirCells)
{
    CListCtrl list;
    ThreeColumns(list);
    list.InsertItem(0, "1");
    list.SetItemText(0, 1, "2");
    list.SetItemText(0, 2, "3");
    list.InsertColumn(1, "new", LVCFMT_LEFT, 50);
    EXPECT_EQ(Row(list, 0), "1||2|3");
    list.DeleteColumn(0);
    EXPECT_EQ(Row(list, 0), "|2|3");
    EXPECT_EQ(list.GetColumnCaptionWhole(0), "new");
    EXPECT_EQ(list.GetColumnWidth(0), 50);
    while (list.GetColumnCount() > 0)
        list.DeleteColumn(0);
    EXPECT_EQ(list.GetItemCount(), 1);
    list.InsertColumn(0, "again");
    EXPECT_EQ(list.GetItemText(0, 0), "");
}

TEST(ListCtrl, BoundedReadsCutToTheBuffer)
{
    CListCtrl list;
    const std::string caption(300, 'c');
    list.InsertColumn(0, caption);
    list.InsertItem(0, std::string(300, 'v'));
    EXPECT_EQ(list.GetColumnCaption(0).size(), 255u);
    EXPECT_EQ(list.GetColumnCaption(0, 255).size(), 254u);
    EXPECT_EQ(list.GetColumnCaptionWhole(0), caption);
    EXPECT_EQ(list.GetItemTextBounded(0, 0).size(), 255u);
    EXPECT_EQ(list.GetItemTextBounded(0, 0, 255).size(), 254u);
    EXPECT_EQ(list.GetItemText(0, 0).size(), 300u);
}

TEST(ListCtrl, SingleSelectionFollowsDeletes)
{
    CListCtrl list;
    list.InsertColumn(0, "a");
    for (int i = 0; i < 4; ++i)
        list.InsertItem(i, std::to_string(i));
    EXPECT_EQ(list.GetNextSelectedItem(-1), -1);
    list.SetSelectedItem(2);
    EXPECT_EQ(list.GetNextSelectedItem(-1), 2);
    list.DeleteItem(0);
    EXPECT_EQ(list.GetNextSelectedItem(-1), 1); // the same row, moved up
    EXPECT_EQ(list.GetItemText(1, 0), "2");
    list.DeleteItem(1);
    EXPECT_EQ(list.GetNextSelectedItem(-1), -1); // no other row becomes selected
    list.SetSelectedItem(0);
    list.InsertItem(0, "top");
    EXPECT_EQ(list.GetNextSelectedItem(-1), 1);
    list.DeleteAllItems();
    EXPECT_EQ(list.GetNextSelectedItem(-1), -1);
    EXPECT_EQ(list.GetColumnCount(), 1);
}

TEST(ListCtrl, ObserverHearsEveryChangeAndOneResetWhileRedrawIsOff)
{
    CListCtrl list;
    CRecordingObserver observer;
    list.SetObserver(&observer);
    list.InsertColumn(0, "a");
    list.InsertItem(0, "x");
    list.SetItemText(0, 0, "y");
    list.SetSelectedItem(0);
    list.DeleteItem(0);
    list.SetColumnWidth(0, 99);
    EXPECT_EQ(observer.m_events,
              (std::vector<std::string>{"insert-col 0", "insert-row 0", "cell 0,0", "select 0",
                                        "remove-row 0", "select -1", "col 0"}));
    observer.m_events.clear();
    list.SetRedraw(false);
    list.InsertColumn(1, "b");
    for (int i = 0; i < 100; ++i)
        list.InsertItem(i, "r");
    list.SetRedraw(true);
    EXPECT_EQ(observer.m_events, (std::vector<std::string>{"begin-reset", "end-reset"}));
    list.SetObserver(nullptr);
}

TEST(ListCtrl, ObserverHearsWhenTheListGoesAway)
{
    CRecordingObserver observer;
    {
        CListCtrl list;
        list.SetObserver(&observer);
    }
    EXPECT_EQ(observer.m_events, (std::vector<std::string>{"destroyed"}));
}

TEST(ListCtrl, RandomEditsAgreeWithAPlainTable)
{
    // Rows share a packed store that rows move out of when they change and
    // that is compacted once most of it is stale. Random edits, with cells
    // long enough to force compactions and a row longer than a store block,
    // must leave exactly the cells a plain table of strings holds.
    std::mt19937 rng(11);
    auto pick = [&rng](int nMax) { return std::uniform_int_distribution<int>(0, nMax)(rng); };
    CListCtrl list;
    std::vector<std::vector<std::string>> table;
    int nColumns = 0;
    for (int i = 0; i < 3; ++i) {
        list.InsertColumn(i, "c");
        ++nColumns;
    }
    auto text = [&](int nRound) {
        const int nKind = pick(9);
        const size_t nLength = nKind == 0 ? 0
            : nKind < 6                   ? static_cast<size_t>(pick(20))
            : nKind < 9                   ? static_cast<size_t>(pick(70000))
                                          : static_cast<size_t>(pick(300));
        return std::string(nLength, static_cast<char>('a' + nRound % 26));
    };
    for (int nRound = 0; nRound < 4000; ++nRound) {
        const int nRows = static_cast<int>(table.size());
        const int nOp = pick(99);
        if (nOp < 30 || nRows == 0) {
            const int nAt = pick(nRows);
            const std::string first = text(nRound);
            ASSERT_EQ(list.InsertItem(nAt, first), nAt);
            std::vector<std::string> row(static_cast<size_t>(nColumns));
            row[0] = first;
            table.insert(table.begin() + nAt, row);
        } else if (nOp < 85) {
            const int nRow = pick(nRows - 1);
            const int nCol = pick(nColumns - 1);
            const std::string cell = text(nRound);
            ASSERT_TRUE(list.SetItemText(nRow, nCol, cell));
            table[static_cast<size_t>(nRow)][static_cast<size_t>(nCol)] = cell;
        } else if (nOp < 95) {
            const int nRow = pick(nRows - 1);
            ASSERT_TRUE(list.DeleteItem(nRow));
            table.erase(table.begin() + nRow);
        } else if (nOp < 97 && nColumns < 6) {
            const int nAt = pick(nColumns);
            list.InsertColumn(nAt, "n");
            for (auto& row : table)
                row.insert(row.begin() + nAt, std::string());
            ++nColumns;
        } else if (nColumns > 1) {
            const int nAt = pick(nColumns - 1);
            list.DeleteColumn(nAt);
            for (auto& row : table)
                row.erase(row.begin() + nAt);
            --nColumns;
        }
        if (nRound == 2000) {
            // One row far longer than a block of the store.
            ASSERT_GT(list.GetItemCount(), 0);
            const std::string huge(5u << 20, 'h');
            list.SetItemText(0, 0, huge);
            table[0][0] = huge;
        }
    }
    ASSERT_EQ(list.GetItemCount(), static_cast<int>(table.size()));
    for (size_t i = 0; i < table.size(); ++i)
        for (size_t j = 0; j < table[i].size(); ++j)
            ASSERT_TRUE(list.GetItemTextView(static_cast<int>(i), static_cast<int>(j)) ==
                        table[i][j])
                << i << "," << j;
    list.DeleteAllItems();
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(list.InsertItem(0, "again"), 0);
    EXPECT_EQ(list.GetItemText(0, 0), "again");
}
