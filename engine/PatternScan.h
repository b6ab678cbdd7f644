#pragma once
// The scan of one data line against a pattern text, the scanf-like match
// that captures a field: literal bytes must match, white space in the
// pattern matches any amount of white space in the data, "%%" matches one
// percent sign, and the first "%[" conversion takes the longest non-empty
// run of its set. The match is anchored at the start of the line.

#include "framework/StringUtil.h"

#include <cstddef>
#include <string_view>

// White space as the scan and the trims of the walk see it.
inline bool IsScanSpace(char ch) { return str::IsSpace(static_cast<unsigned char>(ch)); }

// The text without the white space at its ends.
inline std::string_view TrimView(std::string_view text)
{
    size_t nStart = 0;
    size_t nEnd = text.size();
    while (nStart < nEnd && IsScanSpace(text[nStart]))
        ++nStart;
    while (nEnd > nStart && IsScanSpace(text[nEnd - 1]))
        --nEnd;
    return text.substr(nStart, nEnd - nStart);
}

// What a pattern scan finds: the place of the captured run in the data line.
struct CCapture
{
    bool bFound = false;
    size_t nStart = 0;
    size_t nLength = 0;
};

CCapture ScanPattern(std::string_view data, std::string_view pattern);

// Matches text without conversions at d, white space in it standing for
// any amount of white space in the data; moves d past what it matched.
bool MatchText(std::string_view data, size_t& d, std::string_view text);
