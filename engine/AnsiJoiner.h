#pragma once
// The joined text of a file without a byte-order mark, made from its bytes
// block by block, as CTextFileReader::ReadAll gives it for a separator.

#include "framework/StringTypes.h"

#include <cstddef>
#include <string_view>
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

// Whether the bytes are their own joined text: UTF-8 whose line ends are
// all CR LF, with none first in the file when bFileStart. bAscii tells
// whether every byte is below 0x80; both come from one pass.
bool IsJoinedAlready(std::string_view raw, bool bFileStart, bool& bAscii);

// The joined text (CR LF line ends) of the first nCount bytes of strRaw,
// which start the file when bFileStart and otherwise follow a line end, as
// UTF-8 or as Windows-1252; bAscii tells whether every byte was below 0x80,
// when both readings agree. Bytes that are their own joined text are moved
// into strOut, so strRaw is a buffer whose contents are used up.
void JoinBytes(CString& strRaw, size_t nCount, bool bFileStart, bool bUtf8, CString& strOut,
               bool& bAscii);
