#pragma once
// The syntax of a placeholder: the start tag, the field name, the end tag,
// and optionally the field's own character set between "{$$" and "$$}",
// as in <$$host{$$a-z.$$}$$>.

#include "framework/StringTypes.h"

namespace placeholder {

inline constexpr const char* kCharsetStart = "{$$";
inline constexpr const char* kCharsetEnd = "$$}";

// True, with strCharset set, when the placeholder carries a non-empty
// custom set between the charset markers.
bool GetCustomCharset(CString& strCharset, const CString& strPlaceholder);

// The scan conversion of a placeholder: "%[" + its custom set + "]", or
// strDefault when it has none.
CString ConversionOf(const CString& strPlaceholder, const CString& strDefault);

// The caption of a field name: the custom set with its markers and then
// every start and end tag removed.
CString ColumnTitle(const CString& strName, const CString& strStartTag, const CString& strEndTag);

} // namespace placeholder
