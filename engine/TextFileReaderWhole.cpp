// Reading the whole of a text file at once.
#include "AnsiJoiner.h"
#include "TextFileReader.h"
#include "framework/Memory.h"
#include "framework/StringUtil.h"

#include <vector>

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
