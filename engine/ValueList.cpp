#include "ValueList.h"

#include <limits>
#include <stdexcept>

namespace {
std::uint32_t CheckedLength(size_t nLength)
{
    if (nLength > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("A captured value is longer than 4 GiB.");
    return static_cast<std::uint32_t>(nLength);
}
} // namespace

void CValueList::clear()
{
    m_entries.clear();
    m_entries.shrink_to_fit();
    m_names.clear();
    m_strOwn.clear();
    CString().swap(m_strSource);
}

void CValueList::push_back(const CFieldValue& value)
{
    CEntry entry{};
    entry.nOffset = m_strOwn.size();
    entry.nLength = CheckedLength(value.m_strValue.size());
    entry.nName = static_cast<std::uint32_t>(InternName(value.m_strName)) | kOwnStore;
    m_strOwn.append(value.m_strValue);
    m_entries.push_back(entry);
}

void CValueList::SetSource(CString strText)
{
    m_strSource = std::move(strText);
}

void CValueList::AppendFromSource(size_t nOffset, size_t nLength, int nName)
{
    CEntry entry{};
    entry.nOffset = nOffset;
    entry.nLength = CheckedLength(nLength);
    entry.nName = static_cast<std::uint32_t>(nName);
    m_entries.push_back(entry);
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

std::string_view CValueList::ValueAt(size_t nIndex) const
{
    const CEntry& entry = m_entries[nIndex];
    const CString& store = (entry.nName & kOwnStore) ? m_strOwn : m_strSource;
    return std::string_view(store).substr(static_cast<size_t>(entry.nOffset), entry.nLength);
}
