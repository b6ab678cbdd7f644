#include "TextFileReader.h"

#include "framework/Messages.h"
#include "framework/StringUtil.h"

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
