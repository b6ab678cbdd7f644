#include "JetText.h"

namespace jet {

namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr char kCompressedMark[] = {'\xFF', '\xFE'};
constexpr char kSwitchMode = '\0';
// Below this a unit takes one byte in the compressed form.
constexpr char16_t kOneByteLimit = 0x100;
// Runs of one-byte units worth switching for: two switch bytes pay off
// from three units on, one (at the end of the text) from two on.
constexpr size_t kRunWorthSwitching = 3;
constexpr size_t kEndRunWorthSwitching = 2;

// The length of the well-formed UTF-8 sequence at i and its code point, or
// 0 when there is none.
size_t DecodeUtf8(const CString& str, size_t i, char32_t& cp)
{
    const auto byte = [&](size_t n) { return static_cast<unsigned char>(str[n]); };
    const unsigned char b0 = byte(i);
    size_t nLength = 0;
    char32_t nMin = 0;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
        nLength = 2, cp = b0 & 0x1F, nMin = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        nLength = 3, cp = b0 & 0x0F, nMin = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        nLength = 4, cp = b0 & 0x07, nMin = 0x10000;
    } else {
        return 0;
    }
    if (i + nLength > str.size())
        return 0;
    for (size_t n = 1; n < nLength; ++n) {
        if ((byte(i + n) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (byte(i + n) & 0x3F);
    }
    if (cp < nMin || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return nLength;
}

void AppendUnit(CString& str, char16_t unit)
{
    str.push_back(static_cast<char>(unit & 0xFF));
    str.push_back(static_cast<char>(unit >> 8));
}

size_t OneByteRun(const std::u16string& units, size_t i)
{
    size_t n = i;
    while (n < units.size() && units[n] < kOneByteLimit)
        ++n;
    return n - i;
}

} // namespace

std::u16string Utf16FromUtf8(const CString& strUtf8)
{
    std::u16string units;
    units.reserve(strUtf8.size());
    for (size_t i = 0; i < strUtf8.size();) {
        char32_t cp = 0;
        const size_t nLength = DecodeUtf8(strUtf8, i, cp);
        if (nLength == 0) {
            units.push_back(kReplacement);
            ++i;
            continue;
        }
        i += nLength;
        if (cp < 0x10000) {
            units.push_back(static_cast<char16_t>(cp));
        } else {
            cp -= 0x10000;
            units.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        }
    }
    return units;
}

CString PlainText(const std::u16string& units)
{
    CString str;
    str.reserve(units.size() * 2);
    for (const char16_t unit : units)
        AppendUnit(str, unit);
    return str;
}

CString StoredText(const std::u16string& units)
{
    for (const char16_t unit : units) {
        if ((unit & 0xFF) == 0)
            return PlainText(units);
    }
    CString str(kCompressedMark, sizeof(kCompressedMark));
    bool bOneByte = true; // the compressed form starts with one-byte units
    for (size_t i = 0; i < units.size();) {
        if (bOneByte) {
            if (units[i] < kOneByteLimit) {
                str.push_back(static_cast<char>(units[i++]));
                continue;
            }
            str.push_back(kSwitchMode);
            bOneByte = false;
        }
        const size_t nRun = OneByteRun(units, i);
        const bool bAtEnd = i + nRun == units.size();
        if (nRun >= kRunWorthSwitching || (bAtEnd && nRun >= kEndRunWorthSwitching)) {
            str.push_back(kSwitchMode);
            bOneByte = true;
            continue;
        }
        AppendUnit(str, units[i++]);
    }
    if (str.size() >= units.size() * 2)
        return PlainText(units);
    return str;
}

} // namespace jet
