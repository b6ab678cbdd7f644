#include "ValueList.h"

#include <stdexcept>

void CValueList::ThrowTooLong()
{
    throw std::length_error("A captured value is longer than 4 GiB.");
}

void CValueList::clear()
{
    m_entries.clear();
    m_entries.shrink_to_fit();
    m_names.clear();
    m_strOwn.clear();
    CString().swap(m_strSource);
}

void CValueList::ClearValues()
{
    m_entries.clear();
    m_strOwn.clear();
}

void CValueList::push_back(const CFieldValue& value)
{
    CEntry entry{};
    entry.nOffset = m_strOwn.size();
    if (value.m_strValue.size() > kMaxLength)
        ThrowTooLong();
    entry.nLength = static_cast<std::uint32_t>(value.m_strValue.size());
    entry.nName = static_cast<std::uint32_t>(InternName(value.m_strName)) | kOwnStore;
    m_strOwn.append(value.m_strValue);
    m_entries.push_back(entry);
}

void CValueList::SetSource(CString strText)
{
    m_strSource = std::move(strText);
}

void CValueList::Truncate(size_t nSize)
{
    if (nSize < m_entries.size())
        m_entries.resize(nSize);
}

void CValueList::AppendPart(const CValueList& part)
{
    m_entries.insert(m_entries.end(), part.m_entries.begin(), part.m_entries.end());
}

int CValueList::InternName(const CString& strName)
{
    // Templates have few fields; the last one asked for is the likeliest.
    for (size_t i = m_names.size(); i-- > 0;) {
        if (m_names[i] == strName)
            return static_cast<int>(i);
    }
    m_names.push_back(strName);
    return static_cast<int>(m_names.size() - 1);
}
