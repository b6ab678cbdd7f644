#pragma once
// Text for formats that must hold well-formed UTF-8: JSON strings, the XML
// inside an .xlsx workbook, SQLite TEXT.
//
// Cells are UTF-8 as the reader decodes files, yet bytes that are not can
// still reach a cell (typed into the edit box, or a character cut in two by
// a character set that takes single bytes). Each maximal ill-formed
// subsequence then becomes one U+FFFD REPLACEMENT CHARACTER, as the Unicode
// standard recommends and as Python's "replace" decoding does; well-formed
// text passes unchanged.

#include "framework/StringTypes.h"

#include <string_view>

namespace utf8 {

// The bytes "\xEF\xBF\xBD", U+FFFD in UTF-8.
inline constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// How many bytes from nPos on one U+FFFD stands for: the longest start of a
// well-formed sequence there, at least 1. Only for a position where no
// well-formed sequence starts.
size_t IllFormedLength(std::string_view text, size_t nPos);

// Appends the text with every ill-formed subsequence replaced.
void AppendRepaired(CString& strOut, std::string_view text);

// The text with every ill-formed subsequence replaced.
CString Repaired(std::string_view text);

} // namespace utf8
