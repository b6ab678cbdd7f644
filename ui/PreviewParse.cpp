#include "PreviewParse.h"

#include "engine/ParseReport.h"
#include "engine/ParseResult.h"
#include "engine/TemplateMatcher.h"
#include "framework/StringUtil.h"

#include <algorithm>

bool CPreviewInput::AddLine(std::string_view line)
{
    if (lineStarts.size() >= kMaxLines || strData.size() + line.size() + 2 > kMaxBytes)
        return false;
    lineStarts.push_back(strData.size());
    strData.append(line);
    strData += "\r\n";
    return true;
}

int Utf16Length(std::string_view text)
{
    int nUnits = 0;
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        // Every sequence has one lead byte; one of four bytes needs a
        // surrogate pair.
        if ((byte & 0xC0) != 0x80)
            nUnits += byte >= 0xF0 ? 2 : 1;
    }
    return nUnits;
}

CPreviewMarks PreviewParse(const CPreviewInput& input)
{
    CPreviewMarks marks;
    // A template box that is still empty would stop at the first line; there
    // is nothing to preview yet.
    if (str::Trim(input.strTemplate).empty())
        return marks;
    CTemplateMatcher matcher;
    matcher.SetSettings(input.settings.strStartTag, input.settings.strEndTag,
                        input.settings.strAllowedChars);
    CParseResult result;
    CParseReport report;
    const std::string_view data = input.strData;
    matcher.ParseText(&result, data, input.strTemplate, LineBreakFromCrCl(input.settings.strCrCl),
                      &report);

    for (const CFieldReport& field : report.fields)
        marks.captions.push_back(field.strCaption);
    if (report.eEnd == CParseReport::EEnd::Mismatch && report.nStopLine > 0)
        marks.nStopLine = static_cast<int>(report.nStopLine - 1);
    marks.strSentence = ReportSentence(report);

    const std::vector<int> columnOf = result.ColumnsOfNames();
    const CValueList& values = result.m_listValues;
    marks.spans.reserve(values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        const std::string_view value = values.ValueAt(i);
        const int nColumn = columnOf[static_cast<size_t>(values.NameIndexAt(i))];
        if (value.empty() || nColumn < 0)
            continue;
        // The values are views into the parsed text.
        const auto nOffset = static_cast<size_t>(value.data() - data.data());
        const auto it = std::upper_bound(input.lineStarts.begin(), input.lineStarts.end(), nOffset);
        if (it == input.lineStarts.begin())
            continue;
        const size_t nLine = static_cast<size_t>(it - input.lineStarts.begin()) - 1;
        const size_t nLineStart = input.lineStarts[nLine];
        CPreviewSpan span;
        span.nLine = static_cast<int>(nLine);
        span.nStart = Utf16Length(data.substr(nLineStart, nOffset - nLineStart));
        span.nLength = Utf16Length(value);
        span.nField = nColumn;
        marks.spans.push_back(span);
    }
    return marks;
}
