#include "CharSet.h"

#include <bitset>

bool CCharSet::Parse(std::string_view pattern, size_t nPos, size_t& nEnd)
{
    for (bool& bMember : m_bMember)
        bMember = false;
    std::bitset<256> listed;
    bool bNegate = false;
    size_t p = nPos;
    if (p < pattern.size() && pattern[p] == '^') {
        bNegate = true;
        ++p;
    }
    int nPrevious = -1;
    if (p < pattern.size() && pattern[p] == ']') {
        listed.set(static_cast<unsigned char>(']'));
        nPrevious = static_cast<unsigned char>(']');
        ++p;
    }
    for (;;) {
        if (p >= pattern.size())
            return false;
        const auto ch = static_cast<unsigned char>(pattern[p]);
        if (ch == ']')
            break;
        if (ch == '-' && nPrevious >= 0 && p + 1 < pattern.size() && pattern[p + 1] != ']') {
            const int nNext = static_cast<unsigned char>(pattern[p + 1]);
            const int nLo = nPrevious < nNext ? nPrevious : nNext;
            const int nHi = nPrevious < nNext ? nNext : nPrevious;
            for (int c = nLo; c <= nHi; ++c)
                listed.set(static_cast<size_t>(c));
            nPrevious = -1;
            p += 2;
            continue;
        }
        listed.set(ch);
        nPrevious = ch;
        ++p;
    }
    nEnd = p + 1;
    for (size_t i = 0; i < 256; ++i)
        m_bMember[i] = listed.test(i) != bNegate;
    return true;
}

size_t CCharSet::Count() const
{
    size_t n = 0;
    for (const bool bMember : m_bMember)
        n += bMember ? 1 : 0;
    return n;
}
