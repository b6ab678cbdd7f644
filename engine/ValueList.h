#pragma once
// The captured values of a parse run, in the order they were found.
//
// A run of a large file finds millions of values, and each is a piece of a
// data line: the list keeps the data text and records each value as a
// place in it, with the index of its field name in a small table, instead
// of a copy of the text and of the name. Values added one by one (AddValue)
// are copied into a store of the list's own. Reading a value back gives a
// CFieldValue as usual.

#include "FieldValue.h"
#include "framework/Memory.h"
#include "framework/StringTypes.h"

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class CValueList
{
public:
    class const_iterator
    {
    public:
        const_iterator(const CValueList* pList, size_t nIndex) : m_pList(pList), m_nIndex(nIndex) {}
        CFieldValue operator*() const { return m_pList->At(m_nIndex); }
        const_iterator& operator++()
        {
            ++m_nIndex;
            return *this;
        }
        bool operator!=(const const_iterator& other) const { return m_nIndex != other.m_nIndex; }
        bool operator==(const const_iterator& other) const { return m_nIndex == other.m_nIndex; }

    private:
        const CValueList* m_pList;
        size_t m_nIndex;
    };

    size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, m_entries.size()}; }
    CFieldValue At(size_t nIndex) const
    {
        return CFieldValue(CString(ValueAt(nIndex)), NameOf(NameIndexAt(nIndex)));
    }

    void clear();
    // Drops the values but keeps the name table and the memory.
    void ClearValues();
    // Appends a copy of a value at the end.
    void push_back(const CFieldValue& value);

    CValueList() = default;
    CValueList(const CValueList& other) { *this = other; }
    CValueList(CValueList&& other) noexcept { *this = std::move(other); }
    CValueList& operator=(const CValueList& other);
    CValueList& operator=(CValueList&& other) noexcept;
    ~CValueList() = default;

    // The text the values of a run are pieces of; the list keeps it.
    void SetSource(CString strText);
    // The same for a text that the caller keeps, unchanged, for as long as
    // the values are read: a large text is then not copied.
    void BorrowSource(std::string_view text);
    std::string_view GetSource() const { return m_source; }
    // Appends the value that is nLength bytes of the source from nOffset.
    void AppendFromSource(size_t nOffset, size_t nLength, int nName)
    {
        if (nLength > kMaxLength)
            ThrowTooLong();
        m_entries.push_back(CEntry{nOffset, static_cast<std::uint32_t>(nLength),
                                   static_cast<std::uint32_t>(nName)});
    }
    // Drops the values from nSize on.
    void Truncate(size_t nSize);

    // The index of a field name in the name table, added when new.
    int InternName(const CString& strName);
    // The index of a field name in the name table, or -1.
    int FindName(const CString& strName) const;
    const CString& NameOf(int nName) const { return m_names[static_cast<size_t>(nName)]; }
    int GetNameCount() const { return static_cast<int>(m_names.size()); }

    std::string_view ValueAt(size_t nIndex) const
    {
        const CEntry& entry = m_entries[nIndex];
        const std::string_view store =
            (entry.nName & kOwnStore) ? std::string_view(m_strOwn) : m_source;
        return store.substr(static_cast<size_t>(entry.nOffset), entry.nLength);
    }
    int NameIndexAt(size_t nIndex) const
    {
        return static_cast<int>(m_entries[nIndex].nName & ~kOwnStore);
    }

private:
    static constexpr std::uint32_t kOwnStore = 0x80000000u;
    static constexpr size_t kMaxLength = 0xFFFFFFFFu;
    [[noreturn]] static void ThrowTooLong();
    struct CEntry
    {
        std::uint64_t nOffset;
        std::uint32_t nLength;
        std::uint32_t nName; // kOwnStore marks a value in m_strOwn
    };

    CString m_strSource;       // a kept source
    std::string_view m_source; // m_strSource, or the borrowed text
    bool m_bBorrowed = false;
    CString m_strOwn;
    std::vector<CString> m_names;
    std::unordered_map<CString, int> m_nameIndex; // each name of m_names by its index
    std::vector<CEntry, mem::CLargeAllocator<CEntry>> m_entries;
};
