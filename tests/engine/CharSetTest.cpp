#include "engine/CharSet.h"

#include <gtest/gtest.h>

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
