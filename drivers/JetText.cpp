#include "JetText.h"

namespace jet {

namespace {

constexpr char kCompressedMark[] = {'\xFF', '\xFE'};
constexpr char kSwitchMode = '\0';
// Below this a unit takes one byte in the compressed form.
constexpr char16_t kOneByteLimit = 0x100;
// Runs of one-byte units worth switching for: two switch bytes pay off
// from three units on, one (at the end of the text) from two on.
constexpr size_t kRunWorthSwitching = 3;
constexpr size_t kEndRunWorthSwitching = 2;

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
