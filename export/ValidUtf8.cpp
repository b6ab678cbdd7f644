#include "ValidUtf8.h"

#include "framework/StringUtil.h"

namespace utf8 {

size_t IllFormedLength(std::string_view text, size_t nPos)
{
    // The ranges of a well-formed sequence's second byte depend on its first
    // (Unicode Table 3-7); every later byte is 80..BF.
    const auto byteAt = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char b0 = byteAt(nPos);
    size_t nLen = 0;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        nLen = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        nLen = 3;
        lo = b0 == 0xE0 ? 0xA0 : 0x80;
        hi = b0 == 0xED ? 0x9F : 0xBF;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        nLen = 4;
        lo = b0 == 0xF0 ? 0x90 : 0x80;
        hi = b0 == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 1;
    }
    size_t n = 1;
    while (n < nLen && nPos + n < text.size()) {
        const unsigned char b = byteAt(nPos + n);
        if (b < lo || b > hi)
            break;
        lo = 0x80;
        hi = 0xBF;
        ++n;
    }
    return n;
}

void AppendRepaired(CString& strOut, std::string_view text)
{
    const auto* pBytes = reinterpret_cast<const unsigned char*>(text.data());
    size_t nRun = 0; // where the bytes not yet appended start
    size_t nPos = 0;
    while (nPos < text.size()) {
        nPos += str::AsciiRunLength(pBytes + nPos, text.size() - nPos);
        if (nPos >= text.size())
            break;
        const size_t nLen = str::Utf8SequenceLength(text, nPos);
        if (nLen > 0) {
            nPos += nLen;
            continue;
        }
        strOut.append(text.substr(nRun, nPos - nRun));
        strOut.append(kReplacement);
        nPos += IllFormedLength(text, nPos);
        nRun = nPos;
    }
    strOut.append(text.substr(nRun));
}

CString Repaired(std::string_view text)
{
    CString strOut;
    strOut.reserve(text.size());
    AppendRepaired(strOut, text);
    return strOut;
}

} // namespace utf8
