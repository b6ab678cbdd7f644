// Reading a file without a byte-order mark in pieces, on several threads.
#include "AnsiJoiner.h"
#include "TextFileReader.h"
#include "framework/StringUtil.h"

#include <string_view>
#include <vector>

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

std::uint64_t CTextFileReader::FindTextStart(std::vector<char>& block, CString& strError)
{
    std::uint64_t nOffset = 0;
    try {
        for (;;) {
            const size_t n = m_file.ReadAt(nOffset, block.data(), block.size());
            for (size_t i = 0; i < n; ++i) {
                if (block[i] != '\r' && block[i] != '\n')
                    return nOffset + i;
            }
            if (n == 0)
                return nOffset;
            nOffset += n;
        }
    } catch (const CFileException& e) {
        strError = e.GetErrorMessage();
    }
    return nOffset;
}

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
        JoinBytes(strRaw, n, nStart == 0, bUtf8, strOut, bAscii);
        return true;
    } catch (const CFileException& e) {
        strError = e.GetErrorMessage();
    }
    return false;
}
