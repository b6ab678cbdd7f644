#include "ValueList.h"

#include <stdexcept>

void CValueList::ThrowTooLong()
{
    throw std::length_error("A captured value is longer than 4 GiB.");
}

CValueList& CValueList::operator=(const CValueList& other)
{
    if (this != &other) {
        m_strSource = other.m_strSource;
        m_bBorrowed = other.m_bBorrowed;
        m_source = m_bBorrowed ? other.m_source : std::string_view(m_strSource);
        m_strOwn = other.m_strOwn;
        m_names = other.m_names;
        m_nameIndex = other.m_nameIndex;
        m_entries = other.m_entries;
    }
    return *this;
}

CValueList& CValueList::operator=(CValueList&& other) noexcept
{
    if (this != &other) {
        m_strSource = std::move(other.m_strSource);
        m_bBorrowed = other.m_bBorrowed;
        // A short text moves out of the other string's own bytes.
        m_source = m_bBorrowed ? other.m_source : std::string_view(m_strSource);
        m_strOwn = std::move(other.m_strOwn);
        m_names = std::move(other.m_names);
        m_nameIndex = std::move(other.m_nameIndex);
        m_entries = std::move(other.m_entries);
        other.clear();
    }
    return *this;
}

void CValueList::clear()
{
    m_entries.clear();
    m_entries.shrink_to_fit();
    m_names.clear();
    m_nameIndex.clear();
    m_strOwn.clear();
    CString().swap(m_strSource);
    m_source = std::string_view();
    m_bBorrowed = false;
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
    m_source = m_strSource;
    m_bBorrowed = false;
}

void CValueList::BorrowSource(std::string_view text)
{
    CString().swap(m_strSource);
    m_source = text;
    m_bBorrowed = true;
}

void CValueList::Truncate(size_t nSize)
{
    if (nSize < m_entries.size())
        m_entries.resize(nSize);
}

int CValueList::InternName(const CString& strName)
{
    const auto [it, bNew] = m_nameIndex.emplace(strName, static_cast<int>(m_names.size()));
    if (bNew)
        m_names.push_back(strName);
    return it->second;
}

int CValueList::FindName(const CString& strName) const
{
    const auto it = m_nameIndex.find(strName);
    return it == m_nameIndex.end() ? -1 : it->second;
}
