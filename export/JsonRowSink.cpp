#include "JsonRowSink.h"

#include "UniqueNames.h"
#include "framework/StringUtil.h"

namespace {

constexpr std::string_view kRowLead = ",\n";

} // namespace


bool CJsonRowSink::BeginRows(const std::vector<CTableColumn>& columns)
{
    std::vector<CString> captions;
    for (const CTableColumn& column : columns)
        captions.push_back(str::Repaired(column.strCaption));
    m_keys.clear();
    for (const CString& strName : MakeUniqueNames(captions, ENameCase::Exact)) {
        CString strKey;
        str::AppendJsonString(strKey, strName);
        m_keys.push_back(strKey + ":");
    }
    return m_eLayout == EJsonLayout::Lines || Write("[");
}

void CJsonRowSink::FormatRow(CString& strOut, const std::string_view* pCells, int /*nImage*/) const
{
    if (m_eLayout == EJsonLayout::Array)
        strOut += kRowLead;
    strOut.push_back('{');
    for (size_t j = 0; j < m_keys.size(); ++j) {
        if (j > 0)
            strOut.push_back(',');
        strOut += m_keys[j];
        str::AppendJsonString(strOut, pCells[j]);
    }
    strOut.push_back('}');
    if (m_eLayout == EJsonLayout::Lines)
        strOut.push_back('\n');
}

bool CJsonRowSink::BeforeFirstRow(std::string_view& text)
{
    if (m_eLayout == EJsonLayout::Array)
        text.remove_prefix(1); // the comma before the first row
    return true;
}

bool CJsonRowSink::EndRows()
{
    if (m_eLayout == EJsonLayout::Array && !Write(HaveRows() ? "\n]\n" : "]\n"))
        return false;
    return Flush();
}
