#include "engine/LineArray.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {
CLineArray SplitOf(const CString& text, const CString& sep)
{
    CLineArray lines;
    lines.Split(text, sep);
    return lines;
}
} // namespace

TEST(LineArray, SplitAtCrLf)
{
    EXPECT_EQ(SplitOf("a\r\n\r\nb", "\r\n"), (CLineArray{"a", "", "b"}));
    EXPECT_EQ(SplitOf("\r\na", "\r\n"), (CLineArray{"a"}));
    EXPECT_EQ(SplitOf("", "\r\n"), (CLineArray{""}));
    EXPECT_EQ(SplitOf("a\r\n", "\r\n"), (CLineArray{"a", ""}));
    // Leading bytes that occur anywhere in the separator go, in any order.
    EXPECT_EQ(SplitOf("\n\r\n\rx\r\ny", "\r\n"), (CLineArray{"x", "y"}));
    // A lone LF is not a separator.
    EXPECT_EQ(SplitOf("a\nb", "\r\n"), (CLineArray{"a\nb"}));
}

TEST(LineArray, SplitAppendsAndCountsPieces)
{
    CLineArray lines{"keep"};
    EXPECT_EQ(lines.Split("x;y;", ";"), 3);
    EXPECT_EQ(lines, (CLineArray{"keep", "x", "y", ""}));
}

TEST(LineArray, SplitWithAnEmptySeparatorGivesTheWholeText)
{
    EXPECT_EQ(SplitOf("a\r\nb", ""), (CLineArray{"a\r\nb"}));
}

TEST(LineArray, RemoveDuplicatesKeepsFirstOccurrences)
{
    CLineArray items{"x", "y", "x", "x", "z", "y"};
    items.RemoveDuplicates();
    EXPECT_EQ(items, (CLineArray{"x", "y", "z"}));
}

TEST(LineArray, CollectPlaceholdersWalksLinesInOrder)
{
    const CLineArray lines{"<$$b$$> and <$$a$$>", "none", "<$$b$$>"};
    CStringArray out;
    EXPECT_EQ(lines.CollectPlaceholders(out, "<$$", "$$>", "\r\n"), 3);
    EXPECT_EQ(out, (CStringArray{"<$$b$$>", "<$$a$$>", "<$$b$$>"}));
}

TEST(LineArray, JoinFollowsEveryItemWithTheSeparator)
{
    EXPECT_EQ((CLineArray{"a", "b", ""}).Join("\r\n"), "a\r\nb\r\n\r\n");
    EXPECT_EQ(CLineArray().Join("\r\n"), "");
}

TEST(LineArray, LoadFromFileThenJoinAsTheWindowDoes)
{
    CTempDir dir;
    CLineArray lines;
    ASSERT_TRUE(lines.LoadFromFile(dir.Write("crlf.txt", "a\r\nb\r\n"), "\r\n"));
    EXPECT_EQ(lines, (CLineArray{"a", "b", ""}));
    EXPECT_EQ(lines.Join("\r\n"), "a\r\nb\r\n\r\n");

    CLineArray lf;
    ASSERT_TRUE(lf.LoadFromFile(dir.Write("lf.txt", "a\nb"), "\r\n"));
    EXPECT_EQ(lf.Join("\r\n"), "a\r\nb\r\n");
}

TEST(LineArray, LoadFromMissingFileLeavesArrayAndNamesTheReason)
{
    CLineArray lines{"old"};
    CString strError;
    EXPECT_FALSE(lines.LoadFromFile("/nonexistent/korvane.txt", "\r\n", &strError));
    EXPECT_EQ(lines, (CLineArray{"old"}));
    EXPECT_NE(strError.find("/nonexistent/korvane.txt"), CString::npos);
    EXPECT_NE(strError.find("No such file"), CString::npos);
}

TEST(LineArray, LoadJoinedEqualsLoadFromFileThenJoin)
{
    CTempDir dir;
    const char* contents[] = {"", "a", "\r\n\r\na\nb\r", "\n\n", "x;y;\r\n;z", "\r", "a\r\n"};
    int n = 0;
    for (const char* pszContent : contents) {
        const std::string path = dir.Write("f" + std::to_string(n++) + ".txt", pszContent);
        for (const char* pszSep : {"\r\n", ";", "\n", ""}) {
            CLineArray lines;
            ASSERT_TRUE(lines.LoadFromFile(path, pszSep));
            CString joined = "old";
            ASSERT_TRUE(CLineArray::LoadJoined(path, pszSep, joined));
            EXPECT_EQ(joined, lines.Join(pszSep)) << pszContent << " / " << pszSep;
        }
    }
    CString kept = "kept";
    CString strError;
    EXPECT_FALSE(CLineArray::LoadJoined(dir.File("missing.txt"), "\r\n", kept, &strError));
    EXPECT_EQ(kept, "kept");
    EXPECT_NE(strError.find("missing.txt"), CString::npos);
}
