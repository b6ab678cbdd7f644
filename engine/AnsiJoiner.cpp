#include "AnsiJoiner.h"

#include "framework/StringUtil.h"

void CAnsiJoiner::Feed(CString& strOut, const char* pData, size_t nCount)
{
    const char* p = pData;
    const char* const pEnd = pData + nCount;
    if (p < pEnd && m_bAfterCr) {
        m_bAfterCr = false;
        if (*p == '\n')
            ++p;
    }
    if (m_bAtStart && p < pEnd) {
        m_bAtStart = false;
        if (*p == '\r') {
            m_bAfterCr = true;
            ++p;
            if (p < pEnd && *p == '\n') {
                m_bAfterCr = false;
                ++p;
            }
        } else if (*p == '\n') {
            ++p;
        }
    }
    // Bytes are copied in runs. Where the separator is CR LF and the
    // text UTF-8, a CR LF line end stays inside the run, so a file that
    // already has CR LF line ends is copied in one piece per block.
    const bool bKeepCrLf = m_bUtf8 && m_strSep == "\r\n";
    const char* pRun = p;
    while (p < pEnd) {
        const char* pBreak = str::FindLineEnd(p, pEnd);
        if (pBreak == pEnd)
            break;
        if (*pBreak == '\r') {
            if (pBreak + 1 == pEnd) {
                Append(strOut, pRun, pBreak);
                strOut.append(m_strSep);
                m_bAfterCr = true;
                pRun = pEnd;
                break;
            }
            if (pBreak[1] == '\n') {
                p = pBreak + 2;
                if (bKeepCrLf)
                    continue;
            } else {
                p = pBreak + 1;
            }
        } else {
            p = pBreak + 1;
        }
        Append(strOut, pRun, pBreak);
        strOut.append(m_strSep);
        pRun = p;
    }
    Append(strOut, pRun, pEnd);
}

void CAnsiJoiner::Append(CString& strOut, const char* p, const char* pEnd) const
{
    if (m_bUtf8) {
        strOut.append(p, static_cast<size_t>(pEnd - p));
        return;
    }
    for (; p < pEnd; ++p) {
        const auto by = static_cast<unsigned char>(*p);
        if (by < 0x80)
            strOut.push_back(static_cast<char>(by));
        else
            str::AppendUtf8(strOut, str::Cp1252ToUnicode(by));
    }
}

bool IsJoinedAlready(std::string_view raw, bool bFileStart, bool& bAscii)
{
    if (bFileStart && !raw.empty() && (raw[0] == '\r' || raw[0] == '\n')) {
        bAscii = str::AsciiRunLength(reinterpret_cast<const unsigned char*>(raw.data()),
                                     raw.size()) == raw.size();
        return false;
    }
    return str::LineEndsAreCrLf(raw, &bAscii);
}

void JoinBytes(CString& strRaw, size_t nCount, bool bFileStart, bool bUtf8, CString& strOut,
               bool& bAscii)
{
    const std::string_view raw(strRaw.data(), nCount);
    if (!bUtf8) {
        bAscii = str::AsciiRunLength(reinterpret_cast<const unsigned char*>(raw.data()), nCount) ==
            nCount;
    } else if (IsJoinedAlready(raw, bFileStart, bAscii)) {
        strRaw.resize(nCount);
        strOut.swap(strRaw);
        return;
    }
    CAnsiJoiner joiner("\r\n", bUtf8, bFileStart);
    strOut.clear();
    strOut.reserve(nCount + nCount / 8 + 16);
    joiner.Feed(strOut, raw.data(), raw.size());
}
