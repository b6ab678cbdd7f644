#pragma once
// The character-set language of conversions such as %[0-9-a-z].
//
// A set text is read left to right up to the "]" that closes it: a leading
// "^" negates the set, a "]" right at the start is a member, and "x-y" with
// a previous character lists the whole range (in either order); a "-" that
// forms no range is a member. A range resets the previous character.

#include <cstddef>
#include <string_view>

class CCharSet
{
public:
    // Reads the set that starts at pattern[nPos] (just after "%[") and sets
    // nEnd to the position just after its closing "]". False when the set
    // is not closed; nothing beyond the pattern is read.
    bool Parse(std::string_view pattern, size_t nPos, size_t& nEnd);

    bool Contains(unsigned char by) const { return m_bMember[by]; }
    // How many of the nCount bytes at p are members, counted from the
    // first up to the first that is not. Bytes up to pReadEnd (at least
    // p + nCount) may be read, which lets long runs be tested sixteen
    // bytes at a time.
    size_t Span(const char* p, size_t nCount, const char* pReadEnd) const;
    size_t Count() const;

private:
    // One flag per byte value: the test sits in the inner loop of every
    // capture, where a table beats a bit set.
    bool m_bMember[256] = {};
    // The same set as two tables for byte shuffles: for the low four bits
    // of a byte, one bit per value of its high four bits (0-7 in the first
    // table, 8-15 in the second).
    alignas(16) unsigned char m_byLowRows[16] = {};
    alignas(16) unsigned char m_byHighRows[16] = {};
};
