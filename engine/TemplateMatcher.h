#pragma once
// The parse settings and the matcher that walks data lines in step with
// template lines.
//
// The template lines are used cyclically. A template line without
// placeholders must equal its data line, or the walk stops; in a line with
// placeholders each field is captured by a scanf-like match anchored at the
// start of the data line, against a pattern in which the earlier fields of
// the line stand as the values they received, the field itself as its
// character-set conversion and the later fields as their placeholder texts.

#include "framework/StringTypes.h"

#include <string_view>

class CParseResult;
struct CParseReport;

// The defaults of the window's settings.
inline constexpr const char* kDefaultStartTag = "<$$";
inline constexpr const char* kDefaultEndTag = "$$>";
inline constexpr const char* kDefaultAllowedChars = "0-9-a-z-A-Z-@-.-:-/-_";

class CTemplateMatcher
{
public:
    CTemplateMatcher();
    virtual ~CTemplateMatcher() = default;

    // Takes the three settings as they are; the default conversion becomes
    // "%[" + allowed characters + "]".
    void SetSettings(const CString& strStartTag, const CString& strEndTag,
                     const CString& strAllowedChars);

    // True, with strCharset set, when the placeholder carries a non-empty
    // custom set between "{$$" and "$$}".
    static bool GetCustomCharset(CString& strCharset, const CString& strPlaceholder);

    // Fills pResult from the data and the template (both trimmed first);
    // lpszLineBreak cuts the template when field names are collected. False
    // when the walk stopped at a literal line that the data does not equal;
    // the values found until then stay in pResult either way.
    // With pReport, also tells what the walk did.
    bool Parse(CParseResult* pResult, CString strData, CString strTemplate,
               const CString& lpszLineBreak, CParseReport* pReport = nullptr) const;
    // Parse without a copy of the data: the values in pResult refer to
    // data, which must stay as it is while they are read.
    bool ParseText(CParseResult* pResult, std::string_view data, CString strTemplate,
                   const CString& lpszLineBreak, CParseReport* pReport = nullptr) const;

    // Scans a data line against a pattern: literal bytes must match, white
    // space in the pattern matches any amount of white space in the data,
    // "%%" matches one percent sign, and the first "%[" conversion takes the
    // longest non-empty run of its set. False when nothing is captured.
    static bool Scan(std::string_view data, std::string_view pattern, CString& strValue);

    CString m_strStartTag;
    CString m_strEndTag;
    CString m_strScanFormat;

private:
    // Parse of the text the result's value list already has as its source.
    bool ParseSource(CParseResult* pResult, CString strTemplate, const CString& lpszLineBreak,
                     CParseReport* pReport) const;
};
