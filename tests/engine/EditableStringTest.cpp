#include "engine/EditableString.h"

#include "framework/StringUtil.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <utility>

TEST(EditableString, InsertPadsPastTheEndAndIgnoresEmptyText)
{
    CEditableString s("ab");
    s.Insert(5, "x");
    EXPECT_EQ(s.m_str, "ab   x");
    s.Insert(1, "");
    EXPECT_EQ(s.m_str, "ab   x");
    s.Insert(0, "<");
    EXPECT_EQ(s.m_str, "<ab   x");
}

TEST(EditableString, DeleteClampsAndNegativeCountDeletesToEnd)
{
    EXPECT_EQ(CEditableString("abcdef").Delete(2, 2).m_str, "abef");
    EXPECT_EQ(CEditableString("abcdef").Delete(2, -1).m_str, "ab");
    EXPECT_EQ(CEditableString("abcdef").Delete(4, 99).m_str, "abcd");
    EXPECT_EQ(CEditableString("abc").Delete(3, 1).m_str, "abc");
    EXPECT_EQ(CEditableString("abc").ReplaceAt(1, 1, "XY").m_str, "aXYc");
}

TEST(EditableString, FindHonoursStartAndEnd)
{
    const CEditableString s("abcabc");
    EXPECT_EQ(s.Find("bc", 0), 1);
    EXPECT_EQ(s.Find("bc", 2), 4);
    EXPECT_EQ(s.Find("x", 0), -1);
    EXPECT_EQ(s.Find("", 3), 3);
    EXPECT_EQ(s.Find("", 6), 6);
    EXPECT_EQ(s.Find("", 7), -1);
    EXPECT_EQ(s.Find("a", 7), -1);
}

TEST(EditableString, ReplaceAllNeverRescansInsertedText)
{
    CEditableString s("aaa");
    EXPECT_EQ(s.ReplaceAll("a", "aa", true), 3);
    EXPECT_EQ(s.m_str, "aaaaaa");
    CEditableString t("abab");
    EXPECT_EQ(t.ReplaceAll("ab", "x", false), 1);
    EXPECT_EQ(t.m_str, "xab");
    EXPECT_EQ(t.ReplaceAll("", "y", true), 0);
    EXPECT_EQ(t.m_str, "xab");
}

TEST(EditableString, ExtractBetweenUsesOnlyTheFirstOccurrenceOfEachTag)
{
    CString out = "unchanged";
    EXPECT_TRUE(CEditableString("Name: <$$first$$> <$$last$$>").ExtractBetween(out, "<$$", "$$>"));
    EXPECT_EQ(out, "<$$first$$>");

    out = "unchanged";
    EXPECT_FALSE(CEditableString("$$> <$$a$$>").ExtractBetween(out, "<$$", "$$>"));
    EXPECT_EQ(out, "unchanged");
    EXPECT_FALSE(CEditableString("<$$a$$>").ExtractBetween(out, "<$$", ""));
    EXPECT_FALSE(CEditableString("$$a$$").ExtractBetween(out, "$$", "$$"));
    // Overlapping tags follow the arithmetic: <$$> is a placeholder.
    EXPECT_TRUE(CEditableString("x<$$>y").ExtractBetween(out, "<$$", "$$>"));
    EXPECT_EQ(out, "<$$>");
    // An empty start tag puts every span at position 0.
    EXPECT_TRUE(CEditableString("ab]]c").ExtractBetween(out, "", "]]"));
    EXPECT_EQ(out, "ab]]");
}

TEST(EditableString, ExtractAllListsEachPlaceholderOnceAndMarksTheCopy)
{
    CStringArray found;
    const CEditableString line("Name: <$$first$$> <$$last$$>");
    const CEditableString marked = line.ExtractAll(found, "<$$", "$$>", "%s");
    EXPECT_EQ(found, (CStringArray{"<$$first$$>", "<$$last$$>"}));
    EXPECT_EQ(marked.m_str, "Name: %s %s");
    EXPECT_EQ(line.m_str, "Name: <$$first$$> <$$last$$>");

    CStringArray twice;
    CEditableString("<$$a$$>-<$$a$$>").ExtractAll(twice, "<$$", "$$>", "%s");
    EXPECT_EQ(twice, (CStringArray{"<$$a$$>"}));
}

TEST(EditableString, ExtractAllEndsWhenTheMarkerFormsAPlaceholderAgain)
{
    // With the tags % and s, the marker %s is itself a placeholder.
    CStringArray found;
    const CEditableString marked = CEditableString("a %xs b %ys").ExtractAll(found, "%", "s", "%s");
    EXPECT_EQ(found, (CStringArray{"%xs", "%s"}));
    EXPECT_EQ(marked.m_str, "a %s b %ys");

    CStringArray grown;
    CEditableString("ab").ExtractAll(grown, "a", "b", "xab");
    EXPECT_EQ(grown, (CStringArray{"ab"}));
}

TEST(EditableString, BlankNonPrintableKeepsTextAndUtf8)
{
    CEditableString s("a\tb\r\n");
    s.BlankNonPrintable();
    EXPECT_EQ(s.m_str, "a b  ");

    CEditableString u("caf\xC3\xA9\x7F\xFFz");
    u.BlankNonPrintable();
    EXPECT_EQ(u.m_str, "caf\xC3\xA9  z");
}

namespace {

// ExtractAll's rounds as written: the placeholder between the first start
// and the first end tag, each text once, every occurrence replaced.
CString PlainExtractAll(const CString& strText, const CString& strStart, const CString& strEnd,
                        const CString& strMarker, CStringArray& arrOut)
{
    CString strWork = strText;
    for (size_t nRound = 0; nRound <= strText.size() + 1; ++nRound) {
        const size_t p = strWork.find(strStart);
        const size_t q = strWork.find(strEnd);
        if (p == CString::npos || q == CString::npos || q <= p)
            break;
        const CString ph = strWork.substr(p, q - p + strEnd.size());
        bool bSeen = false;
        for (const CString& strFound : arrOut)
            bSeen = bSeen || strFound == ph;
        if (bSeen)
            break;
        arrOut.Add(ph);
        str::ReplaceAll(strWork, ph, strMarker);
    }
    return strWork;
}

} // namespace

TEST(EditableString, ExtractAllTakesWhatTheRoundsAsWrittenTake)
{
    // Short texts of tag pieces, nested and overlapping tags, and markers
    // that hold tag bytes or the text of a placeholder.
    static const char* const kPieces[] = {"<$$", "$$>", "a", "b", " ", "%s", "$", "<", ">", "\r\n"};
    static const std::pair<const char*, const char*> kTags[] = {
        {"<$$", "$$>"}, {"<", ">"}, {"$$", "$$"}, {"a", "b"}, {"<$", "$>"}, {"ab", "ba"}};
    static const char* const kMarkers[] = {"%s", "\r\n", "$", "a", "%", "x"};
    std::mt19937 rng(3);
    for (int i = 0; i < 20000; ++i) {
        CString strText;
        const int nPieces = static_cast<int>(rng() % 12);
        for (int k = 0; k < nPieces; ++k)
            strText += kPieces[rng() % std::size(kPieces)];
        const auto& [pszStart, pszEnd] = kTags[rng() % std::size(kTags)];
        const CString strMarker = kMarkers[rng() % std::size(kMarkers)];
        CStringArray expected;
        const CString strExpected = PlainExtractAll(strText, pszStart, pszEnd, strMarker, expected);
        CStringArray actual;
        const CEditableString working =
            CEditableString(strText).ExtractAll(actual, pszStart, pszEnd, strMarker);
        ASSERT_EQ(working.m_str, strExpected) << strText << " " << pszStart << pszEnd;
        ASSERT_EQ(actual.GetSize(), expected.GetSize()) << strText;
        for (int k = 0; k < actual.GetSize(); ++k)
            ASSERT_EQ(actual[k], expected[k]) << strText;
    }
}
