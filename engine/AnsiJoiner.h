#pragma once
// The joined text of a file without a byte-order mark, made from its bytes
// block by block, as CTextFileReader::ReadAll gives it for a separator.

#include "framework/StringTypes.h"

#include <cstddef>
#include <utility>

// Turns the bytes of a file without a byte order mark into the joined text,
// chunk by chunk: every line end (CR LF, CR or LF) becomes the separator,
// except the first line end of the file when it comes before any other byte,
// which a line-by-line read consumes before the first line.
class CAnsiJoiner
{
public:
    // bAtStart when the bytes start the file.
    CAnsiJoiner(CString strSep, bool bUtf8, bool bAtStart = true)
        : m_strSep(std::move(strSep)), m_bUtf8(bUtf8), m_bAtStart(bAtStart)
    {}

    // Appends the text of the next bytes of the file to strOut.
    void Feed(CString& strOut, const char* pData, size_t nCount);

private:
    void Append(CString& strOut, const char* p, const char* pEnd) const;

    CString m_strSep;
    bool m_bUtf8;
    bool m_bAtStart;
    bool m_bAfterCr = false;
};
