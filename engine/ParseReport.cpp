#include "ParseReport.h"

#include "LineWalk.h"
#include "framework/StringUtil.h"

#include <string>
#include <utility>

namespace {

CString Count(size_t n, const char* pszOne, const char* pszMany)
{
    return std::to_string(n) + " " + (n == 1 ? pszOne : pszMany);
}

CString Quoted(std::string_view text)
{
    // A sentence shows the start of a long line.
    constexpr size_t kShown = 60;
    CString strText(text.substr(0, kShown));
    if (text.size() > kShown)
        strText += "...";
    return "\"" + strText + "\"";
}

const char* EndKey(CParseReport::EEnd eEnd)
{
    switch (eEnd) {
    case CParseReport::EEnd::Mismatch:
        return "mismatch";
    case CParseReport::EEnd::TooFewLines:
        return "too-few-lines";
    case CParseReport::EEnd::EndOfData:
        break;
    }
    return "end-of-data";
}

// What the fields that never matched tell, or nothing.
CString EmptyFieldsSentence(const CParseReport& report)
{
    CString strText;
    for (const CFieldReport* pField : report.EmptyFields()) {
        strText += strText.empty() ? " The field " : "; the field ";
        strText += Quoted(pField->strCaption) + " never matched";
        if (pField->nFirstMissLine != 0)
            strText += " (first at line " + std::to_string(pField->nFirstMissLine) + ")";
    }
    return strText.empty() ? strText : strText + ".";
}

} // namespace

std::vector<const CFieldReport*> CParseReport::EmptyFields() const
{
    std::vector<const CFieldReport*> empty;
    if (eEnd == EEnd::TooFewLines)
        return empty;
    for (const CFieldReport& field : fields) {
        if (field.nValues == 0)
            empty.push_back(&field);
    }
    return empty;
}

CReportBuilder::CReportBuilder(std::vector<CFieldReport> fields, std::vector<CString> templateLines,
                               std::vector<int> nameOf)
    : m_templateLines(std::move(templateLines)), m_nameOf(std::move(nameOf))
{
    m_report.fields = std::move(fields);
    m_report.nTemplateLines = m_templateLines.size();
}

void CReportBuilder::AddWalk(const CWalkStats& stats, const std::vector<size_t>& valueCounts)
{
    CParseReport& r = m_report;
    for (const size_t n : valueCounts)
        r.nValues += n;
    for (size_t i = 0; i < r.fields.size(); ++i) {
        const int nName = m_nameOf[i];
        if (nName < 0)
            continue;
        const auto n = static_cast<size_t>(nName);
        if (n < valueCounts.size())
            r.fields[i].nValues += valueCounts[n];
        if (r.fields[i].nFirstMissLine == 0 && n < stats.firstMiss.size() &&
            stats.firstMiss[n] != 0)
            r.fields[i].nFirstMissLine = m_nOffset + stats.firstMiss[n];
    }
    if (stats.nLastFilled != 0) {
        r.nLines = m_nOffset + stats.nLastFilled;
        r.nBlankLines = m_nSkippedTotal + stats.nSkippedBeforeFilled;
    }
    if (stats.bStopped) {
        r.eEnd = CParseReport::EEnd::Mismatch;
        r.nStopLine = m_nOffset + stats.nLastFilled;
        r.strStopText.assign(stats.stopText.substr(0, CParseReport::kMaxLineText));
        r.nTemplateLine = stats.nStopTemplateLine + 1;
        if (stats.nStopTemplateLine < m_templateLines.size())
            r.strTemplateText = m_templateLines[stats.nStopTemplateLine];
    }
    m_nOffset += stats.nLines;
    m_nSkippedTotal += stats.nSkipped;
}

CString ReportSentence(const CParseReport& report)
{
    const CString strFrom = report.strSource.empty() ? CString() : " from " + report.strSource;
    switch (report.eEnd) {
    case CParseReport::EEnd::TooFewLines:
        return "No records" + strFrom + ": the template has " +
            Count(report.nTemplateLines, "line", "lines") + ", more than the data.";
    case CParseReport::EEnd::Mismatch:
        return "Stopped at line " + std::to_string(report.nStopLine) + " of the data after " +
            Count(report.nRecords, "record", "records") + ": the template's line " +
            std::to_string(report.nTemplateLine) + " expects " + Quoted(report.strTemplateText) +
            ", the data has " + Quoted(report.strStopText) + "." + EmptyFieldsSentence(report);
    case CParseReport::EEnd::EndOfData:
        break;
    }
    CString strLines = Count(report.nLines, "line", "lines");
    if (report.nBlankLines > 0)
        strLines += ", " + std::to_string(report.nBlankLines) + " blank";
    return Count(report.nRecords, "record", "records") + " (" + strLines + ")" + strFrom + "." +
        EmptyFieldsSentence(report);
}

CString ReportText(const CParseReport& report)
{
    CString strText;
    if (!report.strSource.empty())
        strText += "data: " + report.strSource + "\n";
    strText += "lines walked: " + std::to_string(report.nLines) + " (" +
        std::to_string(report.nBlankLines) + " blank passed over)\n";
    strText += "records: " + std::to_string(report.nRecords) + "\n";
    strText += "values: " + std::to_string(report.nValues) + "\n";
    switch (report.eEnd) {
    case CParseReport::EEnd::EndOfData:
        strText += "end: the end of the data\n";
        break;
    case CParseReport::EEnd::Mismatch:
        strText += "end: stopped at data line " + std::to_string(report.nStopLine) +
            ": template line " + std::to_string(report.nTemplateLine) + " expects " +
            Quoted(report.strTemplateText) + ", the data has " + Quoted(report.strStopText) + "\n";
        break;
    case CParseReport::EEnd::TooFewLines:
        strText += "end: the template has " + Count(report.nTemplateLines, "line", "lines") +
            ", more than the data\n";
        break;
    }
    for (const CFieldReport* pField : report.EmptyFields()) {
        strText += "field " + Quoted(pField->strCaption) + ": no value";
        if (pField->nFirstMissLine != 0)
            strText +=
                " (first missed at data line " + std::to_string(pField->nFirstMissLine) + ")";
        strText += "\n";
    }
    return strText;
}

CString ReportJson(const CParseReport& report)
{
    CString strJson = "{\"source\":";
    str::AppendJsonString(strJson, report.strSource);
    strJson += ",\"lines\":" + std::to_string(report.nLines) +
        ",\"blankLines\":" + std::to_string(report.nBlankLines) +
        ",\"records\":" + std::to_string(report.nRecords) +
        ",\"values\":" + std::to_string(report.nValues) + ",\"end\":\"" + EndKey(report.eEnd) +
        "\",\"templateLines\":" + std::to_string(report.nTemplateLines);
    if (report.eEnd == CParseReport::EEnd::Mismatch) {
        strJson += ",\"stop\":{\"line\":" + std::to_string(report.nStopLine) + ",\"text\":";
        str::AppendJsonString(strJson, report.strStopText);
        strJson +=
            ",\"templateLine\":" + std::to_string(report.nTemplateLine) + ",\"templateText\":";
        str::AppendJsonString(strJson, report.strTemplateText);
        strJson += "}";
    }
    strJson += ",\"fields\":[";
    for (size_t i = 0; i < report.fields.size(); ++i) {
        const CFieldReport& field = report.fields[i];
        strJson += i > 0 ? ",{\"name\":" : "{\"name\":";
        str::AppendJsonString(strJson, field.strName);
        strJson += ",\"caption\":";
        str::AppendJsonString(strJson, field.strCaption);
        strJson += ",\"values\":" + std::to_string(field.nValues) +
            ",\"firstMissLine\":" + std::to_string(field.nFirstMissLine) + "}";
    }
    return strJson + "]}";
}
