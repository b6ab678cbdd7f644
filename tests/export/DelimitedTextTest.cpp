#include "export/ListExporter.h"

#include "support/FakePlatform.h"
#include "framework/ListCtrl.h"
#include "framework/Sink.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

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
    // A cell and its CSV field.
    const std::pair<const char*, const char*> cases[] = {
        {"plain", "plain"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\rhere", "\"cr\rhere\""},
        {"", ""},
        {"tab\tok", "tab\tok"},
    };
    const CListExporter exporter;
    for (const auto& [pszCell, pszCsv] : cases) {
        list.DeleteAllItems();
        AddRow(list, {pszCell, "end"});
        EXPECT_EQ(exporter.GetCsvText(list), std::string(pszCsv) + ",end\n") << pszCell;
    }
    // Tab text takes cells as they are, line feeds and all.
    list.DeleteAllItems();
    AddRow(list, {"two\nlines", "x"});
    EXPECT_EQ(exporter.GetTabText(list), "two\nlines\tx\n");
}

TEST(DelimitedText, RowsFormedWithoutAListAreTheListsRows)
{
    // Cells with every byte that quoting or text mode changes, in both
    // separators and both modes, with and without the header line.
    CListCtrl list;
    list.InsertColumn(0, "name, first");
    list.InsertColumn(1, "b");
    list.InsertColumn(2, "c");
    const std::vector<std::vector<std::string>> rows = {
        {"plain", "a,b", "say \"hi\""}, {"two\nlines", "", "cr\rhere"}, {"", "tab\tok", "\n"}};
    for (const auto& row : rows)
        AddRow(list, {row[0].c_str(), row[1].c_str(), row[2].c_str()});
    const CListExporter exporter;
    for (const char chSeparator : {'\t', ','}) {
        for (const bool bTextMode : {false, true}) {
            for (const bool bHeader : {false, true}) {
                CStringSink sink;
                ASSERT_TRUE(
                    exporter.WriteDelimited(list, chSeparator, bHeader, bTextMode, sink, false));
                const CDelimitedFormat format(chSeparator, bTextMode);
                CString strText;
                if (bHeader)
                    format.AppendHeader(strText, list);
                for (const auto& row : rows) {
                    const std::string_view cells[] = {row[0], row[1], row[2]};
                    format.AppendRow(strText, cells, 3);
                }
                EXPECT_EQ(strText, sink.GetText()) << chSeparator << bTextMode << bHeader;
                // Cells known to hold no line feed come out the same.
                if (bTextMode && !bHeader) {
                    const CDelimitedFormat lineCells(chSeparator, true,
                                                     CDelimitedFormat::ECellLineFeeds::Never);
                    CString strWithout;
                    CString strChecked;
                    const std::string_view cells[] = {"a,b", "", "say \"hi\""};
                    lineCells.AppendRow(strWithout, cells, 3);
                    format.AppendRow(strChecked, cells, 3);
                    EXPECT_EQ(strWithout, strChecked);
                }
            }
        }
    }
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
