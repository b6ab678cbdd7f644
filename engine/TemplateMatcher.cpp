#include "TemplateMatcher.h"

#include "LineCount.h"
#include "LineWalk.h"
#include "ParseResult.h"
#include "PatternScan.h"
#include "PlaceholderSyntax.h"
#include "framework/StringUtil.h"

#include <string_view>
#include <vector>

using std::string_view;

CTemplateMatcher::CTemplateMatcher()
{
    SetSettings(kDefaultStartTag, kDefaultEndTag, kDefaultAllowedChars);
}

void CTemplateMatcher::SetSettings(const CString& strStartTag, const CString& strEndTag,
                                   const CString& strAllowedChars)
{
    m_strStartTag = strStartTag;
    m_strEndTag = strEndTag;
    m_strScanFormat = "%[" + strAllowedChars + "]";
}

bool CTemplateMatcher::GetCustomCharset(CString& strCharset, const CString& strPlaceholder)
{
    return placeholder::GetCustomCharset(strCharset, strPlaceholder);
}

bool CTemplateMatcher::Scan(std::string_view data, std::string_view pattern, CString& strValue)
{
    const CCapture capture = ScanPattern(data, pattern);
    if (capture.bFound)
        strValue.assign(data.substr(capture.nStart, capture.nLength));
    return capture.bFound;
}

bool CTemplateMatcher::Parse(CParseResult* pResult, CString strData, CString strTemplate,
                             const CString& lpszLineBreak) const
{
    // The data stays in the result, and values are places in it.
    pResult->Clear();
    pResult->m_listValues.SetSource(std::move(strData));
    return ParseSource(pResult, std::move(strTemplate), lpszLineBreak);
}

bool CTemplateMatcher::ParseText(CParseResult* pResult, std::string_view data, CString strTemplate,
                                 const CString& lpszLineBreak) const
{
    pResult->Clear();
    pResult->m_listValues.BorrowSource(data);
    return ParseSource(pResult, std::move(strTemplate), lpszLineBreak);
}

bool CTemplateMatcher::ParseSource(CParseResult* pResult, CString strTemplate,
                                   const CString& lpszLineBreak) const
{
    strTemplate = str::Trim(strTemplate);
    pResult->CollectFieldNames(strTemplate, lpszLineBreak, m_strStartTag, m_strEndTag);

    CValueList& values = pResult->m_listValues;
    const string_view data = TrimView(values.GetSource());
    const size_t nDataStart = static_cast<size_t>(data.data() - values.GetSource().data());

    const std::vector<CTemplateLine> lines =
        PrepareLines(strTemplate, m_strStartTag, m_strEndTag, m_strScanFormat, values);
    // Fewer data lines than template lines: nothing is recorded.
    if (!HasLines(data, lines.size()))
        return true;

    size_t j = 0;
    return WalkLines(lines, data, 0, string_view::npos, j, &values, nDataStart);
}
