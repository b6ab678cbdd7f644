#include "engine/ParseResult.h"

#include "support/ListDump.h"
#include "engine/ParseCommand.h"
#include "engine/TemplateMatcher.h"
#include "framework/ListCtrl.h"

#include <gtest/gtest.h>

namespace {

// Parses and fills a fresh list with its start-up column, rebuilding.
std::string Fill(const CString& tmpl, const CString& data, const CString& start = "<$$",
                 const CString& end = "$$>")
{
    CTemplateMatcher matcher;
    matcher.SetSettings(start, end, kDefaultAllowedChars);
    CParseResult result;
    matcher.Parse(&result, data, tmpl, "\r\n");
    CListCtrl list;
    InitResultList(list);
    result.FillList(list, true, start, end);
    return DumpList(list);
}

} // namespace

TEST(ParseResult, CollectFieldNamesAtTheLineBreakWithoutDuplicates)
{
    CParseResult result;
    EXPECT_EQ(
        result.CollectFieldNames("<$$b$$> <$$a$$>\r\nx <$$b$$>\r\n<$$c$$>", "\r\n", "<$$", "$$>"),
        3);
    EXPECT_EQ(result.m_arrFieldNames, (CLineArray{"<$$b$$>", "<$$a$$>", "<$$c$$>"}));

    // Cutting at ";" splits a placeholder that contains it, and the piece
    // that starts with the end tag holds no placeholder at all.
    EXPECT_EQ(result.CollectFieldNames("<$$a;b$$> <$$c$$>", ";", "<$$", "$$>"), 0);
    EXPECT_EQ(result.CollectFieldNames("<$$a$$>;<$$b;c$$>", ";", "<$$", "$$>"), 1);
    EXPECT_EQ(result.m_arrFieldNames, (CLineArray{"<$$a$$>"}));

    // An empty line break must still end: the template is one line.
    EXPECT_EQ(result.CollectFieldNames("<$$a$$>\r\n<$$b$$>", "", "<$$", "$$>"), 2);
    // Cutting at LF alone leaves CR at the line ends, which no tag contains.
    EXPECT_EQ(result.CollectFieldNames("<$$a$$>\r\n<$$b$$>", "\n", "<$$", "$$>"), 2);
}

TEST(ParseResult, ColumnTitles)
{
    EXPECT_EQ(CParseResult::GetColumnTitle("<$$email$$>", "<$$", "$$>"), "email");
    EXPECT_EQ(CParseResult::GetColumnTitle("<$$price{$$0-9.,$$}$$>", "<$$", "$$>"), "price");
    EXPECT_EQ(CParseResult::GetColumnTitle("<$$a{$$$$}$$>", "<$$", "$$>"), "a{$$$$}");
    EXPECT_EQ(CParseResult::GetColumnTitle("[[id]]", "[[", "]]"), "id");
    EXPECT_EQ(CParseResult::GetColumnTitle("<$$a$$>", "", "$$>"), "<$$a");
}

TEST(ParseResult, FindColumnIsExact)
{
    CParseResult result;
    result.CollectFieldNames("<$$a$$> <$$A$$> <$$a{$$0-9$$}$$>", "\r\n", "<$$", "$$>");
    EXPECT_EQ(result.FindColumn(CFieldValue("v", "<$$A$$>")), 1);
    EXPECT_EQ(result.FindColumn(CFieldValue("v", "<$$a{$$0-9$$}$$>")), 2);
    EXPECT_EQ(result.FindColumn(CFieldValue("v", "<$$b$$>")), -1);
}

TEST(ParseResult, RowsStartAtTheFirstField)
{
    EXPECT_EQ(Fill("<$$name$$>\r\n<$$age$$>", "Ann\r\n31\r\nBob\r\n42"),
              "name|age\nAnn|31\nBob|42\n");
    // Before the first row nothing can be placed; later the values of a
    // record whose first field failed land in the row before.
    EXPECT_EQ(
        Fill("N: <$$name$$>\r\nA: <$$age$$>", "N: ##\r\nA: 1\r\nN: Bob\r\nA: 42\r\nN: ,\r\nA: 7"),
        "name|age\nBob|7\n");
    // The same placeholder on two lines is one column; as column 0 every
    // value starts a row.
    EXPECT_EQ(Fill("<$$a$$>\r\n<$$a$$>", "1\r\n2"), "a\n1\n2\n");
    // As a later column, each value overwrites the cell of the current row.
    EXPECT_EQ(Fill("<$$k$$>\r\n<$$v$$>\r\n<$$v$$>", "k1\r\nv1\r\nv2"), "k|v\nk1|v2\n");
    EXPECT_EQ(Fill("[[id]] [[name]]", "7 ann", "[[", "]]"), "id|name\n7|ann\n");
    // Two fields with the same caption.
    EXPECT_EQ(Fill("<$$a$$> <$$a{$$0-9$$}$$>", "x 5"), "a|a\nx|5\n");
}

TEST(ParseResult, TemplateWithoutPlaceholdersLeavesNoColumns)
{
    EXPECT_EQ(Fill("literal", "literal"), "\n");
}

TEST(ParseResult, WithoutRebuildValuesGoByIndex)
{
    CListCtrl list;
    list.InsertColumn(0, "old0", LVCFMT_LEFT, 120);
    list.InsertColumn(1, "old1", LVCFMT_LEFT, 120);
    CTemplateMatcher matcher;
    CParseResult result;
    matcher.Parse(&result, "1 2 3", "<$$x$$> <$$y$$> <$$z$$>", "\r\n");
    result.FillList(list, false, "<$$", "$$>");
    // z has index 2, beyond the two columns: not shown.
    EXPECT_EQ(DumpList(list), "old0|old1\n1|2\n");
}

TEST(ParseResult, RebuiltColumnsAreLeftAligned120Wide)
{
    CListCtrl list;
    InitResultList(list);
    CParseResult result;
    result.CollectFieldNames("<$$a$$><$$b$$>", "\r\n", "<$$", "$$>");
    result.FillList(list, true, "<$$", "$$>");
    ASSERT_EQ(list.GetColumnCount(), 2);
    EXPECT_EQ(list.GetColumnWidth(1), 120);
    EXPECT_EQ(list.GetColumnFormat(0), LVCFMT_LEFT);
    EXPECT_EQ(list.GetItemImage(0), -1);
}
