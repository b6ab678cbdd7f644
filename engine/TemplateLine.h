#pragma once
// One template line taken apart once for a whole parse: its placeholders,
// their conversions and, where the line's shape allows, the plan that
// matches a data line piece by piece instead of building each field's
// pattern text.

#include "CharSet.h"
#include "framework/StringTypes.h"

#include <string_view>
#include <vector>

class CValueList;

// A literal piece of a template line cut into runs: white space, which
// matches any amount of white space, and ordinary bytes, which must stand
// in the data as they are.
struct CLiteralRun
{
    bool bSpace = false;
    std::string_view text;
};

struct CTemplateLine
{
    CString strT;              // the line, trimmed
    CStringArray placeholders; // in the order ExtractAll lists them
    std::vector<int> names;    // their indexes in the value list
    std::vector<CString> conversions;
    // The line as literal pieces around each placeholder, when its shape
    // lets the pieces be matched in place (see BuildPlan).
    bool bPlan = false;
    std::vector<std::string_view> literals; // one more than placeholders
    std::vector<std::vector<CLiteralRun>> literalRuns;
    std::vector<CCharSet> sets;
    std::vector<char> setClosed; // whether the set's text has its "]"
    bool bStartTagBytes[256] = {};
};

// The template's lines (the template cut at CR LF, each trimmed), taken
// apart once; field names are interned in values.
std::vector<CTemplateLine> PrepareLines(const CString& strTemplate, const CString& strStartTag,
                                        const CString& strEndTag,
                                        const CString& strDefaultConversion, CValueList& values);

// Appends the values of the data line D (trimmed), which starts at
// nLineOffset of the values' source, as the line's fields capture them.
// Bytes after D up to pReadEnd may be read, not matched.
void MatchLine(const CTemplateLine& line, std::string_view D, size_t nLineOffset,
               const char* pReadEnd, CValueList& values);
