#include "engine/CharSet.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {
// The members of a set text (without %[ ), as a string of bytes in order.
std::string Members(const std::string& setText, bool* pClosed = nullptr)
{
    CCharSet set;
    size_t nEnd = 0;
    const bool bClosed = set.Parse(setText, 0, nEnd);
    if (pClosed != nullptr)
        *pClosed = bClosed;
    std::string out;
    for (int c = 1; c < 256; ++c) {
        if (set.Contains(static_cast<unsigned char>(c)))
            out.push_back(static_cast<char>(c));
    }
    return out;
}
} // namespace

TEST(CharSet, DefaultAllowedCharsListSeventyThree)
{
    CCharSet set;
    size_t nEnd = 0;
    const std::string text = "0-9-a-z-A-Z-@-.-:-/-_]tail";
    ASSERT_TRUE(set.Parse(text, 0, nEnd));
    EXPECT_EQ(text.substr(nEnd), "tail");
    EXPECT_EQ(set.Count(), 73u);
    for (const char ch : std::string("-;<=>?@./:_09azAZ"))
        EXPECT_TRUE(set.Contains(static_cast<unsigned char>(ch))) << ch;
    for (const char ch : std::string(" ,$\"'[]\t"))
        EXPECT_FALSE(set.Contains(static_cast<unsigned char>(ch))) << ch;
}

TEST(CharSet, RangesHyphensAndBrackets)
{
    EXPECT_EQ(Members("a-]"), "-a");
    EXPECT_EQ(Members("-a]"), "-a");
    EXPECT_EQ(Members("]a]"), "]a");
    EXPECT_EQ(Members("z-a]"), "abcdefghijklmnopqrstuvwxyz");
    // A range resets the previous character, so the next hyphen is a member.
    EXPECT_EQ(Members("a-c-e]"), "-abce");
    EXPECT_EQ(Members("^]]").size(), 254u); // everything but NUL and ]
}

TEST(CharSet, NegationAndHighBytes)
{
    CCharSet set;
    size_t nEnd = 0;
    ASSERT_TRUE(set.Parse(std::string("^,]"), 0, nEnd));
    EXPECT_FALSE(set.Contains(','));
    EXPECT_TRUE(set.Contains(' '));
    EXPECT_TRUE(set.Contains(0xE9));
    ASSERT_TRUE(set.Parse(std::string("\x80-\xFF]"), 0, nEnd));
    EXPECT_TRUE(set.Contains(0xC3));
    EXPECT_FALSE(set.Contains('a'));
}

TEST(CharSet, UnclosedSetIsRejectedWithoutReadingPastTheText)
{
    bool bClosed = true;
    Members("abc", &bClosed);
    EXPECT_FALSE(bClosed);
    Members("", &bClosed);
    EXPECT_FALSE(bClosed);
    Members("]", &bClosed); // the leading ] is a member, nothing closes it
    EXPECT_FALSE(bClosed);
    Members("a-", &bClosed);
    EXPECT_FALSE(bClosed);
}

TEST(CharSet, SpanAgreesWithMembershipAtEveryPlaceAndLength)
{
    // Runs are tested sixteen bytes at a time where the bytes after them may
    // be read; the count still ends the run, wherever it falls.
    std::mt19937 rng(3);
    const char* const setTexts[] = {"0-9-a-z-A-Z-@-.-:-/-_]",
                                    "^ ]",
                                    "^]]",
                                    "]]",
                                    "\x01-\xFF]",
                                    "\x80-\xFF]",
                                    "a]",
                                    "^\x7F-\x80]"};
    for (const char* pszSet : setTexts) {
        CCharSet set;
        size_t nEnd = 0;
        ASSERT_TRUE(set.Parse(pszSet, 0, nEnd));
        for (int nTry = 0; nTry < 200; ++nTry) {
            std::string bytes(80, '\0');
            const unsigned nKind = rng() % 3;
            for (char& ch : bytes) {
                // Mostly members, so that long runs occur.
                ch = static_cast<char>(nKind == 0 ? rng() % 256
                                                  : (rng() % 20 == 0 ? ' ' : 'a' + rng() % 3));
                if (nKind == 2 && rng() % 30 == 0)
                    ch = static_cast<char>(0x80 + rng() % 128);
            }
            const size_t nStart = rng() % 40;
            const size_t nCount = rng() % (bytes.size() - nStart + 1);
            size_t nExpected = 0;
            while (nExpected < nCount &&
                   set.Contains(static_cast<unsigned char>(bytes[nStart + nExpected])))
                ++nExpected;
            const char* p = bytes.data() + nStart;
            EXPECT_EQ(set.Span(p, nCount, p + nCount), nExpected) << pszSet;
            EXPECT_EQ(set.Span(p, nCount, bytes.data() + bytes.size()), nExpected) << pszSet;
        }
    }
}
