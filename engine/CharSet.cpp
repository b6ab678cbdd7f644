#include "CharSet.h"

#include <algorithm>
#include <bitset>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define KORVANE_HAVE_SHUFFLE_SPAN 1
#endif

bool CCharSet::Parse(std::string_view pattern, size_t nPos, size_t& nEnd)
{
    for (bool& bMember : m_bMember)
        bMember = false;
    for (unsigned char& by : m_byLowRows)
        by = 0;
    for (unsigned char& by : m_byHighRows)
        by = 0;
    std::bitset<256> listed;
    bool bNegate = false;
    size_t p = nPos;
    if (p < pattern.size() && pattern[p] == '^') {
        bNegate = true;
        ++p;
    }
    int nPrevious = -1;
    if (p < pattern.size() && pattern[p] == ']') {
        listed.set(static_cast<unsigned char>(']'));
        nPrevious = static_cast<unsigned char>(']');
        ++p;
    }
    for (;;) {
        if (p >= pattern.size())
            return false;
        const auto ch = static_cast<unsigned char>(pattern[p]);
        if (ch == ']')
            break;
        if (ch == '-' && nPrevious >= 0 && p + 1 < pattern.size() && pattern[p + 1] != ']') {
            const int nNext = static_cast<unsigned char>(pattern[p + 1]);
            const int nLo = nPrevious < nNext ? nPrevious : nNext;
            const int nHi = nPrevious < nNext ? nNext : nPrevious;
            for (int c = nLo; c <= nHi; ++c)
                listed.set(static_cast<size_t>(c));
            nPrevious = -1;
            p += 2;
            continue;
        }
        listed.set(ch);
        nPrevious = ch;
        ++p;
    }
    nEnd = p + 1;
    for (size_t i = 0; i < 256; ++i) {
        m_bMember[i] = listed.test(i) != bNegate;
        if (m_bMember[i]) {
            unsigned char* pRows = i < 128 ? m_byLowRows : m_byHighRows;
            pRows[i & 15] = static_cast<unsigned char>(pRows[i & 15] | (1U << ((i >> 4) & 7)));
        }
    }
    return true;
}

namespace {

#ifdef KORVANE_HAVE_SHUFFLE_SPAN
// The span sixteen bytes at a time while sixteen may be read from p + i;
// returns false, with i where that ended, when the rest must be tested
// byte by byte.
__attribute__((target("ssse3"))) bool ShuffleSpan(const char* p, size_t nCount,
                                                  const char* pReadEnd,
                                                  const unsigned char* pLowRows,
                                                  const unsigned char* pHighRows, size_t& i)
{
    const __m128i nibble = _mm_set1_epi8(0x0F);
    const __m128i seven = _mm_set1_epi8(7);
    const __m128i lowTable = _mm_load_si128(reinterpret_cast<const __m128i*>(pLowRows));
    const __m128i highTable = _mm_load_si128(reinterpret_cast<const __m128i*>(pHighRows));
    const __m128i bitOf = _mm_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128);
    while (i < nCount && pReadEnd - (p + i) >= 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i lo = _mm_and_si128(bytes, nibble);
        const __m128i hi = _mm_and_si128(_mm_srli_epi16(bytes, 4), nibble);
        const __m128i isHigh = _mm_cmpgt_epi8(hi, seven);
        const __m128i rows = _mm_or_si128(_mm_andnot_si128(isHigh, _mm_shuffle_epi8(lowTable, lo)),
                                          _mm_and_si128(isHigh, _mm_shuffle_epi8(highTable, lo)));
        const __m128i absent =
            _mm_cmpeq_epi8(_mm_and_si128(rows, _mm_shuffle_epi8(bitOf, hi)), _mm_setzero_si128());
        const auto nAbsent = static_cast<unsigned>(_mm_movemask_epi8(absent));
        if (nAbsent != 0) {
            i = std::min(i + static_cast<size_t>(__builtin_ctz(nAbsent)), nCount);
            return true;
        }
        i += 16;
    }
    if (i >= nCount) {
        i = nCount;
        return true;
    }
    return false;
}

bool CanShuffle()
{
    static const bool bCan = __builtin_cpu_supports("ssse3") != 0;
    return bCan;
}
#endif

} // namespace

size_t CCharSet::Span(const char* p, size_t nCount, const char* pReadEnd) const
{
    size_t i = 0;
#ifdef KORVANE_HAVE_SHUFFLE_SPAN
    if (nCount >= 8 && CanShuffle() &&
        ShuffleSpan(p, nCount, pReadEnd, m_byLowRows, m_byHighRows, i))
        return i;
#endif
    while (i < nCount && m_bMember[static_cast<unsigned char>(p[i])])
        ++i;
    return i;
}

size_t CCharSet::Count() const
{
    size_t n = 0;
    for (const bool bMember : m_bMember)
        n += bMember ? 1 : 0;
    return n;
}
