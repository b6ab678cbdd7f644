#pragma once
// The matching rules written out as plainly as possible: every field of a
// line builds its pattern text from the template line and the values found
// before it, and scans the data line from its start. The engine's matcher
// takes template lines apart once and matches their pieces in place; this
// version stays here to check it, and shares no code with it: its own line
// split, placeholder search and character sets.

#include "framework/StringTypes.h"

#include <string>
#include <utility>
#include <vector>

struct CReferenceRun
{
    bool bComplete = false;
    CStringArray fieldNames;
    std::vector<std::pair<CString, CString>> values; // (name, value)
};

CReferenceRun ReferenceParse(const CString& strData, const CString& strTemplate,
                             const CString& strLineBreak, const CString& strStartTag,
                             const CString& strEndTag, const CString& strAllowedChars);
