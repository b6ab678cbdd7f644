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
                             const CString& lpszLineBreak, CParseReport* pReport) const
{
    // The data stays in the result, and values are places in it.
    pResult->Clear();
    pResult->m_listValues.SetSource(std::move(strData));
    return ParseSource(pResult, std::move(strTemplate), lpszLineBreak, pReport);
}

bool CTemplateMatcher::ParseText(CParseResult* pResult, std::string_view data, CString strTemplate,
                                 const CString& lpszLineBreak, CParseReport* pReport) const
{
    pResult->Clear();
    pResult->m_listValues.BorrowSource(data);
    return ParseSource(pResult, std::move(strTemplate), lpszLineBreak, pReport);
}

bool CTemplateMatcher::ParseSource(CParseResult* pResult, CString strTemplate,
                                   const CString& lpszLineBreak, CParseReport* pReport) const
{
    strTemplate = str::Trim(strTemplate);
    pResult->CollectFieldNames(strTemplate, lpszLineBreak, m_strStartTag, m_strEndTag);

    CValueList& values = pResult->m_listValues;
    const string_view data = TrimView(values.GetSource());
    const size_t nDataStart = static_cast<size_t>(data.data() - values.GetSource().data());

    const std::vector<CTemplateLine> lines =
        PrepareLines(strTemplate, m_strStartTag, m_strEndTag, m_strScanFormat, values);
    if (pReport == nullptr) {
        // Fewer data lines than template lines: nothing is recorded.
        if (!HasLines(data, lines.size()))
            return true;
        size_t j = 0;
        return WalkLines(lines, data, 0, string_view::npos, j, &values, nDataStart);
    }

    std::vector<CString> templateLines;
    for (const CTemplateLine& line : lines)
        templateLines.push_back(line.strT);
    CReportBuilder report = pResult->StartReport(templateLines, m_strStartTag, m_strEndTag);
    bool bComplete = true;
    if (!HasLines(data, lines.size())) {
        report.TooFewLines();
    } else {
        // The walk starts at the start of the text, so that its lines are
        // numbered as the text's are; the blank lines the trim would drop
        // are passed over.
        const string_view whole = values.GetSource().substr(0, nDataStart + data.size());
        CWalkStats stats;
        stats.Reset(static_cast<size_t>(values.GetNameCount()));
        size_t j = 0;
        bComplete = WalkLines(lines, whole, 0, string_view::npos, j, &values, 0, &stats);
        std::vector<size_t> counts(static_cast<size_t>(values.GetNameCount()));
        const std::vector<int> columnOf = pResult->ColumnsOfNames();
        size_t nRows = 0;
        for (size_t i = 0; i < values.size(); ++i) {
            const auto nName = static_cast<size_t>(values.NameIndexAt(i));
            ++counts[nName];
            nRows += columnOf[nName] == 0 ? 1 : 0;
        }
        report.AddWalk(stats, counts);
        report.AddRows(nRows);
    }
    *pReport = report.Get();
    return bComplete;
}
