#pragma once
// The byte string and the string array that every layer shares.
//
// Texts are byte strings in the build's code page, which is UTF-8. Positions
// and lengths count bytes from 0; nothing here knows about characters.

#include <string>
#include <utility>
#include <vector>

using CString = std::string;

// A growable array of byte strings, indexed from 0.
class CStringArray
{
public:
    CStringArray() = default;
    CStringArray(std::initializer_list<CString> items) : m_items(items) {}
    virtual ~CStringArray() = default;
    CStringArray(const CStringArray&) = default;
    CStringArray& operator=(const CStringArray&) = default;
    CStringArray(CStringArray&&) noexcept = default;
    CStringArray& operator=(CStringArray&&) noexcept = default;

    int GetSize() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    const CString& GetAt(int nIndex) const { return m_items[static_cast<size_t>(nIndex)]; }
    CString& operator[](int nIndex) { return m_items[static_cast<size_t>(nIndex)]; }
    const CString& operator[](int nIndex) const { return m_items[static_cast<size_t>(nIndex)]; }

    int Add(CString str)
    {
        m_items.push_back(std::move(str));
        return GetSize() - 1;
    }
    void InsertAt(int nIndex, CString str)
    {
        m_items.insert(m_items.begin() + nIndex, std::move(str));
    }
    void RemoveAt(int nIndex, int nCount = 1)
    {
        m_items.erase(m_items.begin() + nIndex, m_items.begin() + nIndex + nCount);
    }
    void RemoveAll() { m_items.clear(); }
    void Reserve(int nCount) { m_items.reserve(static_cast<size_t>(nCount)); }

    std::vector<CString>::const_iterator begin() const { return m_items.begin(); }
    std::vector<CString>::const_iterator end() const { return m_items.end(); }

    bool operator==(const CStringArray& other) const { return m_items == other.m_items; }
    bool operator!=(const CStringArray& other) const { return m_items != other.m_items; }

private:
    std::vector<CString> m_items;
};
