#include "TextFileReader.h"

#include "framework/Memory.h"
#include "framework/Messages.h"
#include "framework/StringUtil.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
constexpr char32_t kReplacement = 0xFFFD;
}

CTextFileReader::CTextFileReader(const CString& strPath)
    : m_strPath(strPath), m_byBuffer(static_cast<size_t>(kBufferSize))
{
    CString strReason;
    if (!m_file.Open(strPath, CFile::modeRead | CFile::shareDenyWrite, &strReason)) {
        m_strError = msg::CannotOpen(strPath, strReason);
        m_bEOF = true;
        return;
    }
    DetectEncoding();
}

CTextFileReader::~CTextFileReader() { CTextFileReader::Close(); }

void CTextFileReader::Close() { m_file.Abort(); }

std::uint64_t CTextFileReader::GetLength() const
{
    if (!m_file.IsOpen())
        return 0;
    std::uint64_t nLength = 0;
    try {
        nLength = m_file.GetLength();
    } catch (const CFileException&) {
        return 0;
    }
    if (m_nEncoding == UTF16_BE || m_nEncoding == UTF16_LE)
        nLength /= 2;
    return nLength;
}

bool CTextFileReader::FillBuffer()
{
    size_t nRead = 0;
    try {
        nRead = m_file.Read(m_byBuffer.data(), m_byBuffer.size());
    } catch (const CFileException& e) {
        m_strError = e.GetErrorMessage();
        m_bReadFailed = true;
        nRead = 0;
    }
    m_nBufCount = static_cast<int>(nRead);
    return nRead > 0;
}

bool CTextFileReader::ReadByte(unsigned char& by)
{
    if (m_bPushedBack) {
        m_bPushedBack = false;
        by = static_cast<unsigned char>(m_chPushedBack & 0xFF);
        return true;
    }
    if (m_bPendingByte) {
        m_bPendingByte = false;
        by = m_byPending;
        return true;
    }
    if (!m_file.IsOpen()) {
        m_bEOF = true;
        by = 0;
        return false;
    }
    if (m_nBufPos == -1 || m_nBufPos == kBufferSize - 1) {
        if (!FillBuffer()) {
            m_nBufPos = -1;
            m_bEOF = true;
            by = 0;
            return false;
        }
        m_nBufPos = 0;
    } else {
        ++m_nBufPos;
        if (m_nBufPos >= m_nBufCount) {
            m_nBufPos = m_nBufCount;
            m_bEOF = true;
            by = 0;
            return false;
        }
    }
    by = m_byBuffer[static_cast<size_t>(m_nBufPos)];
    m_bConsumed = true;
    return true;
}

void CTextFileReader::Rewind()
{
    try {
        m_file.SeekToBegin();
    } catch (const CFileException& e) {
        m_strError = e.GetErrorMessage();
        m_bReadFailed = true;
    }
    m_bPushedBack = false;
    m_bPendingByte = false;
    m_bPendingUnit = false;
    m_nBufPos = -1;
    m_nBufCount = 0;
    m_bEOF = false;
    m_bConsumed = false;
}

void CTextFileReader::DetectEncoding()
{
    unsigned char by0 = 0;
    unsigned char by1 = 0;
    const bool b0 = ReadByte(by0);
    const bool b1 = b0 && ReadByte(by1);
    if (b1 && by0 == 0xFF && by1 == 0xFE) {
        m_nEncoding = UTF16_LE;
        return;
    }
    if (b1 && by0 == 0xFE && by1 == 0xFF) {
        m_nEncoding = UTF16_BE;
        return;
    }
    if (b1 && by0 == 0xEF && by1 == 0xBB) {
        unsigned char by2 = 0;
        if (ReadByte(by2) && by2 == 0xBF) {
            m_nEncoding = UTF8;
            return;
        }
    }
    m_nEncoding = ANSI;
    Rewind();
}

bool CTextFileReader::AnsiIsUtf8()
{
    if (m_nAnsiIsUtf8 < 0) {
        // Without a mark the whole file decides: well-formed UTF-8 is taken
        // as it is, anything else is Windows-1252.
        str::CUtf8Validator validator;
        std::vector<unsigned char> block(size_t{128} << 10);
        std::uint64_t nOffset = 0;
        try {
            for (;;) {
                const size_t n = m_file.ReadAt(nOffset, block.data(), block.size());
                if (n == 0 || validator.IsBroken())
                    break;
                validator.Feed(block.data(), n);
                nOffset += n;
            }
        } catch (const CFileException& e) {
            m_strError = e.GetErrorMessage();
            m_bReadFailed = true;
        }
        m_nAnsiIsUtf8 = validator.IsValid() ? 1 : 0;
    }
    return m_nAnsiIsUtf8 == 1;
}

bool CTextFileReader::ReadUnit(char16_t& unit)
{
    if (m_bPendingUnit) {
        m_bPendingUnit = false;
        unit = m_unitPending;
        return true;
    }
    unsigned char by0 = 0;
    unsigned char by1 = 0;
    ReadByte(by0);
    if (m_bEOF)
        return false;
    ReadByte(by1);
    if (m_bEOF)
        return false;
    if (m_nEncoding == UTF16_LE)
        unit = static_cast<char16_t>(by0 | (by1 << 8));
    else
        unit = static_cast<char16_t>((by0 << 8) | by1);
    return true;
}

bool CTextFileReader::ReadChar(char32_t& ch)
{
    if (m_bPushedBack) {
        m_bPushedBack = false;
        ch = m_chPushedBack;
        return true;
    }
    if (m_nEncoding == UTF16_LE || m_nEncoding == UTF16_BE) {
        char16_t unit = 0;
        if (!ReadUnit(unit)) {
            ch = 0;
            return false;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            char16_t low = 0;
            if (!ReadUnit(low)) {
                ch = 0;
                return false;
            }
            if (low >= 0xDC00 && low <= 0xDFFF) {
                ch = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00);
                return true;
            }
            m_bPendingUnit = true;
            m_unitPending = low;
            ch = kReplacement;
            return true;
        }
        ch = (unit >= 0xDC00 && unit <= 0xDFFF) ? kReplacement : unit;
        return true;
    }
    unsigned char b0 = 0;
    ReadByte(b0);
    if (m_bEOF) {
        ch = 0;
        return false;
    }
    if (b0 < 0x80) {
        ch = b0;
        return true;
    }
    int nMore = 0;
    char32_t value = 0;
    if ((b0 & 0xE0) == 0xC0) {
        nMore = 1;
        value = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        nMore = 2;
        value = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        nMore = 3;
        value = b0 & 0x07;
    } else {
        ch = kReplacement;
        return true;
    }
    for (int i = 0; i < nMore; ++i) {
        unsigned char by = 0;
        ReadByte(by);
        if (m_bEOF) {
            ch = 0;
            return false;
        }
        if ((by & 0xC0) != 0x80) {
            // Not a continuation: the sequence is malformed, and this byte
            // begins the next character.
            m_bPendingByte = true;
            m_byPending = by;
            ch = kReplacement;
            return true;
        }
        value = (value << 6) | (by & 0x3F);
    }
    const bool bOverlong = (nMore == 1 && value < 0x80) || (nMore == 2 && value < 0x800) ||
        (nMore == 3 && value < 0x10000);
    ch = (bOverlong || value > 0x10FFFF) ? kReplacement : value;
    return true;
}

char32_t CTextFileReader::NextChar()
{
    if (m_nEncoding == ANSI) {
        unsigned char by = 0;
        ReadByte(by);
        return by;
    }
    char32_t ch = 0;
    ReadChar(ch);
    return ch;
}

void CTextFileReader::PushBack(char32_t ch)
{
    m_bPushedBack = true;
    m_chPushedBack = ch;
}

void CTextFileReader::AppendChar(CString& strLine, char32_t ch)
{
    if (m_nEncoding == ANSI) {
        if (ch < 0x80 || AnsiIsUtf8())
            strLine.push_back(static_cast<char>(ch));
        else
            str::AppendUtf8(strLine, str::Cp1252ToUnicode(static_cast<unsigned char>(ch)));
        return;
    }
    str::AppendUtf8(strLine, ch);
}

bool CTextFileReader::ReadLine(CString& strLine)
{
    strLine.clear();
    char32_t ch = NextChar();
    if (ch == '\r') {
        ch = NextChar();
        if (ch == '\n')
            ch = NextChar();
    } else if (ch == '\n') {
        ch = NextChar();
    }
    if (m_bEOF)
        return false;
    while (!m_bEOF && ch != '\r' && ch != '\n') {
        AppendChar(strLine, ch);
        if (m_nEncoding == ANSI && AnsiIsUtf8() && !m_bPushedBack && !m_bPendingByte &&
            m_nBufPos >= 0) {
            // Take the rest of the line straight from the buffer.
            const unsigned char* pStart = m_byBuffer.data() + m_nBufPos + 1;
            const unsigned char* pEnd = m_byBuffer.data() + m_nBufCount;
            const unsigned char* p = pStart;
            while (p < pEnd && *p != '\r' && *p != '\n')
                ++p;
            strLine.append(reinterpret_cast<const char*>(pStart), static_cast<size_t>(p - pStart));
            m_nBufPos += static_cast<int>(p - pStart);
        }
        ch = NextChar();
    }
    PushBack(ch);
    return true;
}

bool CTextFileReader::ReadAll(CString& strText, const CString& lpszSep)
{
    if (!m_file.IsOpen() || m_bReadFailed)
        return false;
    if (m_nEncoding == ANSI && !m_bConsumed && !m_bPushedBack && !m_bEOF)
        return ReadAllAnsi(strText, lpszSep);
    CString result;
    result.reserve(static_cast<size_t>(GetLength()) + 2);
    CString strLine;
    while (!m_bEOF) {
        if (ReadLine(strLine)) {
            result.append(strLine);
            if (!m_bEOF)
                result.append(lpszSep);
        }
    }
    if (m_bReadFailed)
        return false;
    strText.swap(result);
    return true;
}

namespace {

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
    void Feed(CString& strOut, const char* pData, size_t nCount)
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
                    pRun = p = pEnd;
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

private:
    void Append(CString& strOut, const char* p, const char* pEnd) const
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

    CString m_strSep;
    bool m_bUtf8;
    bool m_bAtStart;
    bool m_bAfterCr = false;
};

} // namespace

std::uint64_t CTextFileReader::FindPieceStart(std::uint64_t nNominal, std::vector<char>& block,
                                              CString& strError)
{
    if (nNominal == 0)
        return 0;
    try {
        for (std::uint64_t nOffset = nNominal;;) {
            const size_t n = m_file.ReadAt(nOffset, block.data(), block.size());
            if (n == 0)
                return nOffset;
            const char* const p = block.data();
            const char* const pBreak = str::FindLineEnd(p, p + n);
            if (pBreak == p + n) {
                nOffset += n;
                continue;
            }
            const std::uint64_t nAt = nOffset + static_cast<std::uint64_t>(pBreak - p);
            if (*pBreak == '\n')
                return nAt + 1;
            // A CR: the line end takes the LF after it, if there is one.
            char chNext = 0;
            if (pBreak + 1 < p + n)
                chNext = pBreak[1];
            else if (m_file.ReadAt(nAt + 1, &chNext, 1) == 0)
                return nAt + 1;
            return chNext == '\n' ? nAt + 2 : nAt + 1;
        }
    } catch (const CFileException& e) {
        strError = e.GetErrorMessage();
    }
    return 0;
}

namespace {

// Whether the bytes are their own joined text: UTF-8 whose line ends are
// all CR LF, with none first in the file. bAscii tells whether every byte
// is below 0x80; both come from one pass over the bytes.
bool IsJoinedAlready(std::string_view raw, bool bFileStart, bool& bAscii)
{
    if (bFileStart && !raw.empty() && (raw[0] == '\r' || raw[0] == '\n')) {
        bAscii = str::AsciiRunLength(reinterpret_cast<const unsigned char*>(raw.data()),
                                     raw.size()) == raw.size();
        return false;
    }
    return str::LineEndsAreCrLf(raw, &bAscii);
}

} // namespace

bool CTextFileReader::ReadJoinedRange(std::uint64_t nStart, std::uint64_t nEnd, bool bUtf8,
                                      CString& strRaw, CString& strOut, bool& bAscii,
                                      CString& strError)
{
    bAscii = true;
    if (nEnd <= nStart) {
        strOut.clear();
        return true;
    }
    try {
        // The bytes go straight into a buffer that keeps its size, so that
        // a file with CR LF line ends costs no copy beyond the read.
        const auto nCount = static_cast<size_t>(nEnd - nStart);
        if (strRaw.size() < nCount)
            strRaw.resize(nCount);
        const size_t n = m_file.ReadAt(nStart, strRaw.data(), nCount);
        const std::string_view raw(strRaw.data(), n);
        if (!bUtf8)
            bAscii =
                str::AsciiRunLength(reinterpret_cast<const unsigned char*>(raw.data()), n) == n;
        else if (IsJoinedAlready(raw, nStart == 0, bAscii)) {
            strRaw.resize(n);
            strOut.swap(strRaw);
            return true;
        }
        CAnsiJoiner joiner("\r\n", bUtf8, nStart == 0);
        strOut.clear();
        strOut.reserve(n + n / 8 + 16);
        joiner.Feed(strOut, raw.data(), raw.size());
        return true;
    } catch (const CFileException& e) {
        strError = e.GetErrorMessage();
    }
    return false;
}

bool CTextFileReader::ReadAllAnsi(CString& strText, const CString& lpszSep)
{
    // The whole file in one pass of large blocks. The text is decoded as
    // UTF-8 while the bytes are checked; a file that turns out not to be
    // UTF-8 is read again from the same place as Windows-1252.
    try {
        const std::uint64_t nStart = m_file.Seek(0, SEEK_CUR);
        const std::uint64_t nLength = m_file.GetLength();
        const size_t nExpected = static_cast<size_t>(nLength > nStart ? nLength - nStart : 0);
        std::vector<char> block(size_t{1} << 20);
        for (int nPass = 0; nPass < 2; ++nPass) {
            const bool bUtf8 = m_nAnsiIsUtf8 != 0;
            CString result;
            mem::ReserveLarge(result, nExpected + nExpected / 8 + lpszSep.size() + 16);
            CAnsiJoiner joiner(lpszSep, bUtf8);
            str::CUtf8Validator validator;
            std::uint64_t nOffset = nStart;
            for (;;) {
                const size_t n = m_file.ReadAt(nOffset, block.data(), block.size());
                if (n == 0)
                    break;
                nOffset += n;
                if (m_nAnsiIsUtf8 < 0 && !validator.IsBroken())
                    validator.Feed(reinterpret_cast<const unsigned char*>(block.data()), n);
                joiner.Feed(result, block.data(), n);
            }
            if (m_nAnsiIsUtf8 < 0)
                m_nAnsiIsUtf8 = validator.IsValid() ? 1 : 0;
            if (bUtf8 && m_nAnsiIsUtf8 == 0)
                continue;
            m_file.Seek(static_cast<std::int64_t>(nOffset), SEEK_SET);
            m_bEOF = true;
            strText.swap(result);
            return true;
        }
    } catch (const CFileException& e) {
        m_strError = e.GetErrorMessage();
    }
    m_bReadFailed = true;
    m_bEOF = true;
    return false;
}
