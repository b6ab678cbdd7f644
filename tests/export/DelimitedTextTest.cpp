#include "export/ListExporter.h"

#include "framework/ListCtrl.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

namespace {

void AddRow(CListCtrl& list, std::initializer_list<const char*> cells)
{
    const int nRow = list.InsertItem(list.GetItemCount(), *cells.begin());
    int j = 0;
    for (const char* cell : cells)
        list.SetItemText(nRow, j++, cell);
}

} // namespace

TEST(DelimitedText, TabAndCsvOfOneRow)
{
    CListCtrl list;
    for (int j = 0; j < 3; ++j)
        list.InsertColumn(j, "c" + std::to_string(j));
    AddRow(list, {"x", "y", "z"});
    const CListExporter exporter;
    EXPECT_EQ(exporter.GetTabText(list), "x\ty\tz\n");
    EXPECT_EQ(exporter.GetCsvText(list), "x,y,z\n");
}

TEST(DelimitedText, EmptyListsAndListsWithoutColumns)
{
    CListCtrl list;
    const CListExporter exporter;
    EXPECT_EQ(exporter.GetTabText(list), "");
    list.InsertColumn(0, "a");
    list.InsertItem(0, "1");
    list.InsertItem(1, "2");
    list.DeleteColumn(0);
    EXPECT_EQ(exporter.GetTabText(list), "\n\n");
    EXPECT_EQ(exporter.GetCsvText(list), "\n\n");
}

TEST(DelimitedText, CsvQuotesOnlyWhatNeedsIt)
{
    CListCtrl list;
    list.InsertColumn(0, "a");
    list.InsertColumn(1, "b");
    struct CCase
    {
        const char* pszCell;
        const char* pszCsv;
    };
    const CCase cases[] = {
        {"plain", "plain"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\rhere", "\"cr\rhere\""},
        {"", ""},
        {"tab\tok", "tab\tok"},
    };
    const CListExporter exporter;
    for (const CCase& c : cases) {
        list.DeleteAllItems();
        AddRow(list, {c.pszCell, "end"});
        EXPECT_EQ(exporter.GetCsvText(list), std::string(c.pszCsv) + ",end\n") << c.pszCell;
    }
    // Tab text takes cells as they are, line feeds and all.
    list.DeleteAllItems();
    AddRow(list, {"two\nlines", "x"});
    EXPECT_EQ(exporter.GetTabText(list), "two\nlines\tx\n");
}

TEST(DelimitedText, HeaderLineUsesTheSameQuoting)
{
    CListCtrl list;
    list.InsertColumn(0, "Last Used");
    list.InsertColumn(1, "a,b");
    const CListExporter exporter;
    EXPECT_EQ(exporter.GetHeaderLine(list, '\t'), "Last Used\ta,b\n");
    EXPECT_EQ(exporter.GetHeaderLine(list, ','), "Last Used,\"a,b\"\n");
}

TEST(DelimitedText, CopyAllPutsTheTabTextOnTheClipboard)
{
    CFakePlatform fake;
    CListCtrl list;
    list.InsertColumn(0, "Fields After Parsing");
    const CListExporter exporter;
    fake.clipboard.m_strText = "previous";
    EXPECT_TRUE(exporter.CopyAllToClipboard(list));
    EXPECT_EQ(fake.clipboard.m_strText, "");
    list.InsertItem(0, "caf\xC3\xA9");
    EXPECT_TRUE(exporter.CopyAllToClipboard(list));
    EXPECT_EQ(fake.clipboard.m_strText, "caf\xC3\xA9\n");
}
