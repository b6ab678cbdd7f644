#include "drivers/JetText.h"

#include <gtest/gtest.h>

namespace {

// The stored form read back as the format describes it: FF FE starts the
// compressed form, in which a 00 byte switches between one-byte and
// two-byte units; anything else is plain little-endian UCS-2.
std::u16string ReadStored(const std::string& bytes)
{
    std::u16string units;
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() < 2 || byte(0) != 0xFF || byte(1) != 0xFE) {
        for (size_t i = 0; i + 1 < bytes.size(); i += 2)
            units.push_back(static_cast<char16_t>(byte(i) | (byte(i + 1) << 8)));
        return units;
    }
    bool bOneByte = true;
    for (size_t i = 2; i < bytes.size();) {
        if (byte(i) == 0) {
            bOneByte = !bOneByte;
            ++i;
        } else if (bOneByte) {
            units.push_back(byte(i++));
        } else {
            units.push_back(static_cast<char16_t>(byte(i) | (byte(i + 1) << 8)));
            i += 2;
        }
    }
    return units;
}

} // namespace

TEST(JetText, Utf8BecomesUtf16WithSurrogatesAndReplacementsForBrokenBytes)
{
    EXPECT_EQ(jet::Utf16FromUtf8("a\xC3\xA9\xE4\xB8\x80"), u"a\u00E9\u4E00");
    EXPECT_EQ(jet::Utf16FromUtf8("\xF0\x9F\x98\x80!"), u"\xD83D\xDE00!");
    // A stray continuation byte, a cut sequence, an overlong form and an
    // encoded surrogate each give U+FFFD per byte.
    EXPECT_EQ(jet::Utf16FromUtf8("\x80x\xE4\xB8"), u"\xFFFDx\xFFFD\xFFFD");
    EXPECT_EQ(jet::Utf16FromUtf8("\xC0\xAF\xED\xA0\x80"), std::u16string(5, u'\xFFFD'));
    EXPECT_EQ(jet::PlainText(u"A\u4E00"), std::string("A\0\0\x4E", 4));
}

TEST(JetText, StoredFormIsTheShorterOneAndReadsBackAsTheSameUnits)
{
    const std::u16string cases[] = {
        u"",
        u"plain ascii, with 'quotes' and \"more\"",
        u"Ren\u00E9e \u00FC\u00DF",
        u"\u4E2D\u6587\u5B57",                 // all two-byte: plain is shorter
        u"\u4E2D\u6587 mixed text \u5B57 end", // switches both ways
        u"\u4E2Dab\u6587a\u5B57xyz",           // short runs stay two-byte
        u"abc\u4E00",                          // a unit with a low byte of 0
        u"\xD83D\xDE00 smile",                 // a surrogate pair
        u"\xD83D\xDE03 smile",
    };
    for (const std::u16string& units : cases) {
        const std::string stored = jet::StoredText(units);
        EXPECT_EQ(ReadStored(stored), units) << stored;
        EXPECT_LE(stored.size(), units.size() * 2) << stored;
    }
    EXPECT_EQ(jet::StoredText(u"abc"),
              "\xFF\xFE"
              "abc");
    EXPECT_EQ(jet::StoredText(u"\u4E2D\u6587"), jet::PlainText(u"\u4E2D\u6587"));
    EXPECT_EQ(jet::StoredText(u"abc\u4E00"), jet::PlainText(u"abc\u4E00"));
    // U+DE00, the second half of U+1F600, has a low byte of 0 as well.
    EXPECT_EQ(jet::StoredText(u"\xD83D\xDE00 smile"), jet::PlainText(u"\xD83D\xDE00 smile"));
    EXPECT_EQ(jet::StoredText(u""), "");
}
