#include "JsonRowSink.h"

#include "UniqueNames.h"
#include "ValidUtf8.h"
#include "framework/Sink.h"
#include "framework/StringUtil.h"

namespace {

constexpr std::string_view kRowLead = ",\n";

// The bytes that end a run of bytes copied as they are.
bool IsSpecial(unsigned char by) { return by < 0x20 || by == '"' || by == '\\' || by >= 0x80; }

void AppendEscape(CString& strOut, unsigned char by)
{
    static const char kHex[] = "0123456789abcdef";
    switch (by) {
    case '"':
        strOut += "\\\"";
        return;
    case '\\':
        strOut += "\\\\";
        return;
    case '\b':
        strOut += "\\b";
        return;
    case '\f':
        strOut += "\\f";
        return;
    case '\n':
        strOut += "\\n";
        return;
    case '\r':
        strOut += "\\r";
        return;
    case '\t':
        strOut += "\\t";
        return;
    default:
        strOut += "\\u00";
        strOut += kHex[by >> 4];
        strOut += kHex[by & 0x0F];
    }
}

} // namespace

CJsonRowSink::CJsonRowSink(ISink& target, EJsonLayout eLayout, bool bBackground)
    : m_target(target), m_eLayout(eLayout),
      m_pOut(std::make_unique<CBufferedSink>(target, false, size_t{1} << 20, bBackground))
{}

CJsonRowSink::~CJsonRowSink() = default;

void CJsonRowSink::AppendString(CString& strOut, std::string_view text)
{
    strOut.push_back('"');
    const auto* pBytes = reinterpret_cast<const unsigned char*>(text.data());
    size_t nRun = 0;
    size_t nPos = 0;
    while (nPos < text.size()) {
        const unsigned char by = pBytes[nPos];
        if (!IsSpecial(by)) {
            ++nPos;
            continue;
        }
        size_t nLen = 0;
        if (by >= 0x80) {
            nLen = str::Utf8SequenceLength(text, nPos);
            if (nLen > 0) {
                nPos += nLen;
                continue;
            }
        }
        strOut.append(text.substr(nRun, nPos - nRun));
        if (by >= 0x80) {
            strOut.append(utf8::kReplacement);
            nPos += utf8::IllFormedLength(text, nPos);
        } else {
            AppendEscape(strOut, by);
            ++nPos;
        }
        nRun = nPos;
    }
    strOut.append(text.substr(nRun));
    strOut.push_back('"');
}

bool CJsonRowSink::BeginRows(const std::vector<CTableColumn>& columns)
{
    std::vector<CString> captions;
    for (const CTableColumn& column : columns)
        captions.push_back(utf8::Repaired(column.strCaption));
    m_keys.clear();
    for (const CString& strName : MakeUniqueNames(captions, ENameCase::Exact)) {
        CString strKey;
        AppendString(strKey, strName);
        m_keys.push_back(strKey + ":");
    }
    m_bHaveRows = false;
    return m_eLayout == EJsonLayout::Lines || m_pOut->Write("[");
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
        AppendString(strOut, pCells[j]);
    }
    strOut.push_back('}');
    if (m_eLayout == EJsonLayout::Lines)
        strOut.push_back('\n');
}

bool CJsonRowSink::WriteRows(std::string_view text)
{
    if (m_eLayout == EJsonLayout::Array && !m_bHaveRows)
        text.remove_prefix(1); // the comma before the first row
    m_bHaveRows = true;
    return m_pOut->Write(text);
}

bool CJsonRowSink::AddRow(const std::string_view* pCells, int nImage)
{
    m_strRow.clear();
    FormatRow(m_strRow, pCells, nImage);
    return WriteRows(m_strRow);
}

bool CJsonRowSink::AddFormattedRows(std::string_view text)
{
    if (text.empty())
        return true;
    if (!m_bHaveRows)
        return WriteRows(text);
    // Large runs of rows go to the target as they are, without a copy.
    return m_pOut->Flush() && m_target.Write(text);
}

bool CJsonRowSink::EndRows()
{
    if (m_eLayout == EJsonLayout::Array && !m_pOut->Write(m_bHaveRows ? "\n]\n" : "]\n"))
        return false;
    return m_pOut->Flush();
}

CString CJsonRowSink::GetError() const { return m_target.GetError(); }
