#include "framework/StringUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

TEST(StringUtil, TrimUsesTheSixWhiteSpaceBytes)
{
    EXPECT_EQ(str::Trim(" \t\r\n\v\fa b\f\v\n\r\t "), "a b");
    EXPECT_EQ(str::Trim("\xC2\xA0"
                        "a"),
              "\xC2\xA0"
              "a");
    EXPECT_EQ(str::Trim("   "), "");
}

TEST(StringUtil, Utf8Validity)
{
    EXPECT_TRUE(str::IsValidUtf8(""));
    EXPECT_TRUE(str::IsValidUtf8("plain ascii text that is long enough"));
    EXPECT_TRUE(str::IsValidUtf8("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"));
    EXPECT_FALSE(str::IsValidUtf8("\xC0\xAF"));         // overlong
    EXPECT_FALSE(str::IsValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(str::IsValidUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
    EXPECT_FALSE(str::IsValidUtf8("abc\xE2\x82"));      // cut short
    EXPECT_FALSE(str::IsValidUtf8("\x80"));

    // Fed in pieces, a sequence may span them.
    str::CUtf8Validator validator;
    const unsigned char part1[] = {'a', 0xE2, 0x82};
    const unsigned char part2[] = {0xAC, 'b'};
    validator.Feed(part1, sizeof part1);
    EXPECT_FALSE(validator.IsValid());
    EXPECT_FALSE(validator.IsBroken());
    validator.Feed(part2, sizeof part2);
    EXPECT_TRUE(validator.IsValid());
}

TEST(StringUtil, BlankControlAndInvalidKeepsLength)
{
    CString text = "a\tb\x7F\xC3\xA9\xC3z\xF0\x9F\x98\x80";
    str::BlankControlAndInvalid(text);
    EXPECT_EQ(text, "a b \xC3\xA9 z\xF0\x9F\x98\x80");
}

TEST(StringUtil, TextModeAndReplace)
{
    EXPECT_EQ(str::ToTextMode("a\nb\r\nc\n"), "a\r\nb\r\r\nc\r\n");
    CString text = "aXbXX";
    EXPECT_EQ(str::ReplaceAll(text, "X", "YY"), 3);
    EXPECT_EQ(text, "aYYbYYYY");
    EXPECT_EQ(str::ToUpper("Data.Xls"), "DATA.XLS");
    CString out;
    str::AppendUtf8(out, 0xD800);
    EXPECT_EQ(out, "\xEF\xBF\xBD");
    EXPECT_EQ(str::Cp1252ToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(str::Cp1252ToUnicode(0x81), U'\u0081');
}

TEST(StringUtil, LineEndSearchesAgreeWithPlainOnes)
{
    std::mt19937 rng(5);
    for (int nTry = 0; nTry < 1000; ++nTry) {
        std::string text(rng() % 150, 'x');
        for (char& ch : text) {
            const unsigned n = rng() % 10;
            ch = n == 0 ? '\r' : n == 1 ? '\n' : 'x';
        }
        if (rng() % 2 == 0) {
            // Only CR LF pairs, which the second search must accept.
            std::string pairs;
            for (const char ch : text)
                pairs += ch == '\r' || ch == '\n' ? std::string("\r\n") : std::string(1, ch);
            text = pairs;
        }
        for (size_t nPos = 0; nPos <= text.size(); ++nPos)
            ASSERT_EQ(str::FindCrLf(text, nPos), text.find("\r\n", nPos)) << nPos;
        bool bCrLfOnly = true;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r')
                bCrLfOnly = bCrLfOnly && i + 1 < text.size() && text[i + 1] == '\n';
            if (text[i] == '\n')
                bCrLfOnly = bCrLfOnly && i > 0 && text[i - 1] == '\r';
        }
        EXPECT_EQ(str::LineEndsAreCrLf(text), bCrLfOnly);
        // A byte from 0x80 up, anywhere or nowhere, is told on the way.
        if (!text.empty() && rng() % 2 == 0)
            text[rng() % text.size()] = static_cast<char>(0x80 + rng() % 128);
        bool bAscii = false;
        const bool bCrLf = str::LineEndsAreCrLf(text, &bAscii);
        EXPECT_EQ(bCrLf, str::LineEndsAreCrLf(text));
        EXPECT_EQ(bAscii, std::all_of(text.begin(), text.end(), [](char ch) {
                      return static_cast<unsigned char>(ch) < 0x80;
                  }));
    }
}

TEST(StringUtil, ContainsFindsTheByteAtEveryPlace)
{
    for (size_t nLength = 0; nLength < 50; ++nLength) {
        const std::string text(nLength, 'a');
        EXPECT_FALSE(str::Contains(text, '\n')) << nLength;
        for (size_t i = 0; i < nLength; ++i) {
            std::string with = text;
            with[i] = '\n';
            EXPECT_TRUE(str::Contains(with, '\n')) << nLength << " at " << i;
            // Only the bytes of the text count, not those after it.
            EXPECT_FALSE(str::Contains(std::string_view(with).substr(0, i), '\n'))
                << nLength << " at " << i;
        }
    }
}
