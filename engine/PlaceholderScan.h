#pragma once
// The placeholders of one text as CEditableString::ExtractAll takes them
// out, found in time linear in the text instead of a whole-text search and
// replace per placeholder.
//
// It applies when the marker that replaces a placeholder can take no part
// in a tag: the tags and the marker are not empty and share no byte. Then
// every tag the rounds of ExtractAll meet stands in the text as it was, and
// every occurrence of a placeholder is a start tag whose first end tag
// after it closes the same text. Where a round would meet a marker (inside
// the next placeholder, or a placeholder that holds the marker's text), the
// scan says it cannot tell.

#include "framework/StringTypes.h"

#include <cstddef>
#include <string_view>
#include <vector>

struct CPlaceholderScan
{
    struct CFound
    {
        size_t nPos = 0; // its first occurrence in the text
        size_t nLength = 0;
        size_t nCount = 0; // its occurrences in the text
    };
    std::vector<CFound> found; // in the order ExtractAll takes them
    CString strWorking;        // the text with every occurrence replaced by the marker
};

// Fills scan as ExtractAll would take the placeholders out of text; false
// when this way cannot tell (see above), scan then unchanged.
bool ScanPlaceholders(std::string_view text, std::string_view strStart, std::string_view strEnd,
                      std::string_view strMarker, CPlaceholderScan& scan);
