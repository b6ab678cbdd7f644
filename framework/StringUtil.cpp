#include "StringUtil.h"

#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace str {

CString TrimLeft(std::string_view text)
{
    size_t nStart = 0;
    while (nStart < text.size() && IsSpace(static_cast<unsigned char>(text[nStart])))
        ++nStart;
    return CString(text.substr(nStart));
}

CString TrimRight(std::string_view text)
{
    size_t nEnd = text.size();
    while (nEnd > 0 && IsSpace(static_cast<unsigned char>(text[nEnd - 1])))
        --nEnd;
    return CString(text.substr(0, nEnd));
}

CString Trim(std::string_view text)
{
    size_t nStart = 0;
    size_t nEnd = text.size();
    while (nStart < nEnd && IsSpace(static_cast<unsigned char>(text[nStart])))
        ++nStart;
    while (nEnd > nStart && IsSpace(static_cast<unsigned char>(text[nEnd - 1])))
        --nEnd;
    return CString(text.substr(nStart, nEnd - nStart));
}

int ReplaceAll(CString& text, std::string_view strOld, std::string_view strNew)
{
    if (strOld.empty())
        return 0;
    size_t nPos = text.find(strOld);
    if (nPos == CString::npos)
        return 0;
    CString result;
    result.reserve(text.size());
    size_t nFrom = 0;
    int nCount = 0;
    while (nPos != CString::npos) {
        result.append(text, nFrom, nPos - nFrom);
        result.append(strNew);
        nFrom = nPos + strOld.size();
        ++nCount;
        nPos = text.find(strOld, nFrom);
    }
    result.append(text, nFrom, CString::npos);
    text.swap(result);
    return nCount;
}

CString ToUpper(std::string_view text)
{
    CString result(text);
    for (char& ch : result) {
        if (ch >= 'a' && ch <= 'z')
            ch = static_cast<char>(ch - 'a' + 'A');
    }
    return result;
}

namespace {

// What the first byte of a UTF-8 sequence says: the length of the
// sequence (0 when the byte starts none, ASCII included) and the range of
// its second byte, which depends on the first; every later byte is 80..BF.
struct CUtf8Lead
{
    size_t nLength = 0;
    unsigned char byLo = 0x80;
    unsigned char byHi = 0xBF;
};

CUtf8Lead Utf8Lead(unsigned char b0)
{
    // The well-formed byte sequences of Unicode Table 3-7, by first byte.
    struct CLeadRange
    {
        unsigned char byFirst;
        unsigned char byLast;
        CUtf8Lead lead;
    };
    static constexpr CLeadRange kLeads[] = {
        {0xC2, 0xDF, {2, 0x80, 0xBF}}, {0xE0, 0xE0, {3, 0xA0, 0xBF}}, {0xE1, 0xEC, {3, 0x80, 0xBF}},
        {0xED, 0xED, {3, 0x80, 0x9F}}, {0xEE, 0xEF, {3, 0x80, 0xBF}}, {0xF0, 0xF0, {4, 0x90, 0xBF}},
        {0xF1, 0xF3, {4, 0x80, 0xBF}}, {0xF4, 0xF4, {4, 0x80, 0x8F}},
    };
    for (const CLeadRange& range : kLeads) {
        if (b0 >= range.byFirst && b0 <= range.byLast)
            return range.lead;
    }
    return {};
}

} // namespace

size_t Utf8SequenceLength(std::string_view text, size_t nPos)
{
    const auto byteAt = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char b0 = byteAt(nPos);
    if (b0 < 0x80)
        return 1;
    const CUtf8Lead lead = Utf8Lead(b0);
    if (lead.nLength == 0 || nPos + lead.nLength > text.size())
        return 0;
    const unsigned char b1 = byteAt(nPos + 1);
    if (b1 < lead.byLo || b1 > lead.byHi)
        return 0;
    for (size_t i = 2; i < lead.nLength; ++i) {
        const unsigned char b = byteAt(nPos + i);
        if (b < 0x80 || b > 0xBF)
            return 0;
    }
    return lead.nLength;
}

char32_t DecodeUtf8(std::string_view text, size_t nPos, size_t& nLength)
{
    nLength = Utf8SequenceLength(text, nPos);
    if (nLength <= 1)
        return nLength == 1 ? static_cast<unsigned char>(text[nPos]) : 0;
    static const unsigned char kLeadMask[5] = {0, 0, 0x1F, 0x0F, 0x07};
    char32_t ch = static_cast<unsigned char>(text[nPos]) & kLeadMask[nLength];
    for (size_t i = 1; i < nLength; ++i)
        ch = (ch << 6) | (static_cast<unsigned char>(text[nPos + i]) & 0x3Fu);
    return ch;
}

size_t AsciiRunLength(const unsigned char* pBytes, size_t nCount)
{
    // Runs of ASCII are the common case; they are skipped eight bytes at a
    // time.
    size_t i = 0;
#ifdef __SSE2__
    while (i + 32 <= nCount) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pBytes + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pBytes + i + 16));
        if (_mm_movemask_epi8(_mm_or_si128(a, b)) != 0)
            break;
        i += 32;
    }
#endif
    while (i + 8 <= nCount) {
        std::uint64_t word = 0;
        std::memcpy(&word, pBytes + i, 8);
        if (word & 0x8080808080808080ULL)
            break;
        i += 8;
    }
    while (i < nCount && pBytes[i] < 0x80)
        ++i;
    return i;
}

const char* FindLineEnd(const char* p, const char* pEnd)
{
#ifdef __SSE2__
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    while (pEnd - p >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int nMask =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf)));
        if (nMask != 0)
            return p + __builtin_ctz(static_cast<unsigned>(nMask));
        p += 16;
    }
#endif
    while (p < pEnd && *p != '\r' && *p != '\n')
        ++p;
    return p;
}

bool LineEndsAreCrLf(std::string_view text, bool* pAscii)
{
    const char* p = text.data();
    const char* const pEnd = p + text.size();
    std::uint64_t nAfterCr = 0; // 1 when the byte before p is a CR
    const auto finish = [&](bool bCrLf) {
        if (pAscii != nullptr) {
            const auto* pBytes = reinterpret_cast<const unsigned char*>(text.data());
            *pAscii = *pAscii &&
                AsciiRunLength(pBytes + (p - text.data()), static_cast<size_t>(pEnd - p)) ==
                    static_cast<size_t>(pEnd - p);
        }
        return bCrLf;
    };
    if (pAscii != nullptr)
        *pAscii = true;
#ifdef __SSE2__
    // In each block of 64 bytes the LFs must stand exactly one after the
    // CRs; the high bits of all bytes are gathered on the way.
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    __m128i high = _mm_setzero_si128();
    while (pEnd - p >= 64) {
        std::uint64_t nCr = 0;
        std::uint64_t nLf = 0;
        for (int k = 0; k < 4; ++k) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
            high = _mm_or_si128(high, block);
            nCr |= static_cast<std::uint64_t>(
                       static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, cr))))
                << (16 * k);
            nLf |= static_cast<std::uint64_t>(
                       static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, lf))))
                << (16 * k);
        }
        if (nLf != ((nCr << 1) | nAfterCr)) {
            if (pAscii != nullptr)
                *pAscii = _mm_movemask_epi8(high) == 0;
            return finish(false);
        }
        nAfterCr = nCr >> 63;
        p += 64;
    }
    if (pAscii != nullptr)
        *pAscii = _mm_movemask_epi8(high) == 0;
#endif
    const char* const pRest = p;
    bool bAfterCr = nAfterCr != 0;
    for (; p < pEnd; ++p) {
        if ((*p == '\n') != bAfterCr)
            break;
        bAfterCr = *p == '\r';
    }
    const bool bCrLf = p == pEnd && !bAfterCr;
    p = pRest;
    return finish(bCrLf);
}

bool IsValidUtf8(std::string_view text)
{
    size_t nPos = 0;
    while (nPos < text.size()) {
        nPos += AsciiRunLength(reinterpret_cast<const unsigned char*>(text.data()) + nPos,
                               text.size() - nPos);
        if (nPos >= text.size())
            break;
        const size_t nLen = Utf8SequenceLength(text, nPos);
        if (nLen == 0)
            return false;
        nPos += nLen;
    }
    return true;
}

std::u16string Utf16FromUtf8(std::string_view text)
{
    std::u16string units;
    units.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        size_t nLength = 0;
        const char32_t ch = DecodeUtf8(text, i, nLength);
        if (nLength == 0) {
            units.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        i += nLength;
        if (ch < 0x10000) {
            units.push_back(static_cast<char16_t>(ch));
        } else {
            units.push_back(static_cast<char16_t>(0xD800 + ((ch - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((ch - 0x10000) & 0x3FF)));
        }
    }
    return units;
}

void AppendUtf8(CString& out, char32_t ch)
{
    if ((ch >= 0xD800 && ch <= 0xDFFF) || ch > 0x10FFFF)
        ch = 0xFFFD;
    if (ch < 0x80) {
        out.push_back(static_cast<char>(ch));
    } else if (ch < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (ch >> 6)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else if (ch < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (ch >> 12)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (ch >> 18)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    }
}

void BlankControlAndInvalid(CString& text)
{
    size_t nPos = 0;
    while (nPos < text.size()) {
        const unsigned char ch = static_cast<unsigned char>(text[nPos]);
        if (ch < 0x80) {
            if (ch < 0x20 || ch == 0x7F)
                text[nPos] = ' ';
            ++nPos;
            continue;
        }
        const size_t nLen = Utf8SequenceLength(text, nPos);
        if (nLen == 0) {
            text[nPos] = ' ';
            ++nPos;
        } else {
            nPos += nLen;
        }
    }
}

size_t IllFormedLength(std::string_view text, size_t nPos)
{
    const auto byteAt = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const CUtf8Lead lead = Utf8Lead(byteAt(nPos));
    if (lead.nLength == 0)
        return 1;
    unsigned char lo = lead.byLo;
    unsigned char hi = lead.byHi;
    size_t n = 1;
    while (n < lead.nLength && nPos + n < text.size()) {
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
        nPos += AsciiRunLength(pBytes + nPos, text.size() - nPos);
        if (nPos >= text.size())
            break;
        const size_t nLen = Utf8SequenceLength(text, nPos);
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

namespace {

// The bytes that end a run of bytes copied as they are.
bool IsSpecial(unsigned char by) { return by < 0x20 || by == '"' || by == '\\' || by >= 0x80; }

void AppendEscape(CString& strOut, unsigned char by)
{
    static const char kHex[] = "0123456789abcdef";
    switch (by) {
    case '"':
        strOut += "\\\"";
        return;
    case '\\':
        strOut += "\\\\";
        return;
    case '\b':
        strOut += "\\b";
        return;
    case '\f':
        strOut += "\\f";
        return;
    case '\n':
        strOut += "\\n";
        return;
    case '\r':
        strOut += "\\r";
        return;
    case '\t':
        strOut += "\\t";
        return;
    default:
        strOut += "\\u00";
        strOut += kHex[by >> 4];
        strOut += kHex[by & 0x0F];
    }
}

} // namespace

void AppendJsonString(CString& strOut, std::string_view text)
{
    strOut.push_back('"');
    const auto* pBytes = reinterpret_cast<const unsigned char*>(text.data());
    size_t nRun = 0;
    size_t nPos = 0;
    while (nPos < text.size()) {
        const unsigned char by = pBytes[nPos];
        if (!IsSpecial(by)) {
            ++nPos;
            continue;
        }
        size_t nLen = 0;
        if (by >= 0x80) {
            nLen = Utf8SequenceLength(text, nPos);
            if (nLen > 0) {
                nPos += nLen;
                continue;
            }
        }
        strOut.append(text.substr(nRun, nPos - nRun));
        if (by >= 0x80) {
            strOut.append(kReplacement);
            nPos += IllFormedLength(text, nPos);
        } else {
            AppendEscape(strOut, by);
            ++nPos;
        }
        nRun = nPos;
    }
    strOut.append(text.substr(nRun));
    strOut.push_back('"');
}

CString ToTextMode(std::string_view text)
{
    CString result;
    result.reserve(text.size() + text.size() / 16 + 16);
    AppendTextMode(result, text);
    return result;
}

void AppendTextMode(CString& out, std::string_view text)
{
    size_t nFrom = 0;
    for (;;) {
        const size_t nLf = text.find('\n', nFrom);
        if (nLf == std::string_view::npos) {
            out.append(text.substr(nFrom));
            return;
        }
        out.append(text.substr(nFrom, nLf - nFrom));
        out.append("\r\n");
        nFrom = nLf + 1;
    }
}

} // namespace str

namespace str {

void CUtf8Validator::Feed(const unsigned char* pBytes, size_t nCount)
{
    for (size_t i = 0; i < nCount && m_bValid; ++i) {
        if (m_nPending == 0) {
            i += AsciiRunLength(pBytes + i, nCount - i);
            if (i >= nCount)
                break;
        }
        const unsigned char by = pBytes[i];
        if (m_nPending > 0) {
            if (by < m_byLo || by > m_byHi) {
                m_bValid = false;
                return;
            }
            m_byLo = 0x80;
            m_byHi = 0xBF;
            --m_nPending;
            continue;
        }
        if (by < 0x80)
            continue;
        const CUtf8Lead lead = Utf8Lead(by);
        if (lead.nLength == 0) {
            m_bValid = false;
            return;
        }
        m_nPending = static_cast<int>(lead.nLength) - 1;
        m_byLo = lead.byLo;
        m_byHi = lead.byHi;
    }
}

char32_t Cp1252ToUnicode(unsigned char by)
{
    static const char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    if (by >= 0x80 && by <= 0x9F)
        return kHigh[by - 0x80];
    return by;
}

} // namespace str
