#include "LineCount.h"

#include "PatternScan.h"
#include "framework/StringUtil.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <cstdint>

using std::string_view;

namespace {

// Whether the line of a joined text that starts at nStart holds only white
// space; its line break follows somewhere after it.
bool IsBlankLine(string_view text, size_t nStart)
{
    for (size_t q = nStart; q < text.size(); ++q) {
        if (text[q] == '\r' && q + 1 < text.size() && text[q + 1] == '\n')
            return true;
        if (!IsScanSpace(text[q]))
            return false;
    }
    return true;
}

} // namespace

// The count is the text's LFs less its blank lines, which can only be lines
// that start with white space.
size_t CountFilledLines(string_view text)
{
    size_t nLines = 0;
    size_t nBlank = 0;
    unsigned nCarry = 1; // the next byte starts a line
    size_t i = 0;
#ifdef __SSE2__
    const char* const p = text.data();
    const __m128i lf = _mm_set1_epi8('\n');
    // LFs are counted per byte lane (a match is -1) and the lanes summed
    // before any can overflow.
    __m128i lanes = _mm_setzero_si128();
    int nInLanes = 0;
    const auto sumLanes = [&]() {
        const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
        nLines += static_cast<size_t>(_mm_cvtsi128_si32(sums)) +
            static_cast<size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
        lanes = _mm_setzero_si128();
        nInLanes = 0;
    };
    for (; i + 64 <= text.size(); i += 64) {
        std::uint64_t nLf = 0;
        for (int k = 0; k < 4; ++k) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 16 * k));
            const __m128i isLf = _mm_cmpeq_epi8(block, lf);
            lanes = _mm_sub_epi8(lanes, isLf);
            nLf |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(isLf)))
                << (16 * k);
        }
        if (++nInLanes == 63)
            sumLanes();
        // A line that starts with white space may be blank.
        for (std::uint64_t nStarts = (nLf << 1) | nCarry; nStarts != 0; nStarts &= nStarts - 1) {
            const size_t nAt = i + static_cast<size_t>(__builtin_ctzll(nStarts));
            if (IsScanSpace(p[nAt]) && IsBlankLine(text, nAt))
                ++nBlank;
        }
        nCarry = static_cast<unsigned>(nLf >> 63);
    }
    sumLanes();
#endif
    for (; i < text.size(); ++i) {
        if (nCarry != 0 && IsScanSpace(text[i]) && IsBlankLine(text, i))
            ++nBlank;
        nCarry = text[i] == '\n' ? 1 : 0;
        nLines += nCarry;
    }
    return nLines - nBlank;
}

bool HasLines(string_view data, size_t nLines)
{
    size_t nDataLines = 1;
    for (size_t nAt = str::FindCrLf(data, 0); nAt != string_view::npos && nDataLines < nLines;
         nAt = str::FindCrLf(data, nAt + 2))
        ++nDataLines;
    return nDataLines >= nLines;
}
