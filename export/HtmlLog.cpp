#include "HtmlLog.h"

#include "framework/Messages.h"
#include "framework/Sink.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view kEndOfFile = "</TABLE>\n</BODY>\n</HTML>";
constexpr std::string_view kRowStart =
    "<TR  ALIGN=\"LEFT\" style=\"font-family: tahoma,courrier,arial,helvetica,sans-serif\">";
constexpr int kMinOffsetDigits = 4;
constexpr int kMinCountDigits = 6;
constexpr std::size_t kCopyChunk = 1 << 20;

void AppendEscaped(CString& out, std::string_view text)
{
    for (const char ch : text) {
        switch (ch) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += ch;
            break;
        }
    }
}

void AppendColor(CString& out, COLORREF cr)
{
    char sz[16];
    std::snprintf(sz, sizeof sz, "#%06X", static_cast<unsigned>(cr));
    out += sz;
}

int DigitCount(std::uint64_t n)
{
    int nDigits = 1;
    while (n >= 10) {
        n /= 10;
        ++nDigits;
    }
    return nDigits;
}

// "<!", n with leading zeros to nDigits, ">", LF.
CString CommentLine(std::uint64_t n, int nDigits)
{
    char sz[48];
    std::snprintf(sz, sizeof sz, "<!%0*llu>\n", nDigits, static_cast<unsigned long long>(n));
    return sz;
}

// Reads a comment line as ReadLine gives it with markup: "<!", at least
// nMinDigits digits, ">", LF.
bool ParseCommentLine(const CString& strLine, int nMinDigits, std::uint64_t& nValue, int& nDigits)
{
    if (strLine.size() < 4 || strLine.compare(0, 2, "<!") != 0 ||
        strLine.compare(strLine.size() - 2, 2, ">\n") != 0)
        return false;
    const std::string_view digits = std::string_view(strLine).substr(2, strLine.size() - 4);
    // Twenty digits could overflow; no real report comes near that.
    if (digits.size() < static_cast<size_t>(nMinDigits) || digits.size() > 19)
        return false;
    std::uint64_t n = 0;
    for (const char ch : digits) {
        if (ch < '0' || ch > '9')
            return false;
        n = n * 10 + static_cast<std::uint64_t>(ch - '0');
    }
    nValue = n;
    nDigits = static_cast<int>(digits.size());
    return true;
}

} // namespace

bool CHtmlLog::IsReport(const CString& strPath)
{
    CFile file;
    if (!file.Open(strPath, CFile::modeRead))
        return false;
    try {
        // The two comment lines are short; a report's head is far longer.
        char buffer[64];
        const size_t nRead = file.Read(buffer, sizeof buffer);
        const std::string_view head(buffer, nRead);
        const size_t nFirst = head.find('\n');
        const size_t nSecond =
            nFirst == std::string_view::npos ? nFirst : head.find('\n', nFirst + 1);
        if (nSecond == std::string_view::npos)
            return false;
        std::uint64_t nOffset = 0;
        std::uint64_t nCount = 0;
        int nDigits = 0;
        return ParseCommentLine(CString(head.substr(0, nFirst + 1)), kMinOffsetDigits, nOffset,
                                nDigits) &&
            ParseCommentLine(CString(head.substr(nFirst + 1, nSecond - nFirst)), kMinCountDigits,
                             nCount, nDigits) &&
            nOffset >= nSecond + 1 && nOffset <= file.GetLength();
    } catch (const CUserException&) {
        return false;
    }
}

CHtmlLog::~CHtmlLog()
{
    if (m_file.IsOpen())
        Close();
}

void CHtmlLog::Fail(const CString& strMessage)
{
    if (!m_bFailed)
        m_strError = strMessage;
    m_bFailed = true;
}

bool CHtmlLog::Open(const CString& strPath, const CString& strTitle, COLORREF crBack,
                    COLORREF crText)
{
    std::lock_guard<std::mutex> lock(m_cs);
    if (m_file.IsOpen())
        CloseLocked();
    m_strPath = strPath;
    m_strError.clear();
    m_bFailed = false;
    m_bNewFile = true;
    m_nBodyOffset = 0;
    m_nFileRowBytes = 0;
    m_nFileRows = 0;
    m_arrRows.RemoveAll();
    m_nRowBytes = 0;
    m_nOffsetDigits = kMinOffsetDigits;
    m_nCountDigits = kMinCountDigits;
    m_crEvenRow = 0xE7E7E7;
    m_crOddRow = 0xFFFFFF;

    struct stat st
    {};
    m_bCreated = ::lstat(strPath.c_str(), &st) != 0 && errno == ENOENT;
    CString strReason;
    if (!m_file.Open(strPath,
                     CFile::modeCreate | CFile::modeNoTruncate | CFile::shareDenyWrite |
                         CFile::modeReadWrite,
                     &strReason)) {
        Fail(msg::CannotOpen(strPath, strReason));
        return false;
    }
    std::uint64_t nLength = 0;
    try {
        nLength = m_file.GetLength();
        if (nLength > 0) {
            if (!ReadExistingReport(nLength)) {
                m_file.Abort();
                return false;
            }
            m_bNewFile = false;
            return true;
        }
    } catch (const CUserException& e) {
        // Nothing has been written yet: the file stays exactly as it was.
        Fail(e.GetErrorMessage());
        m_file.Abort();
        return false;
    }
    try {
        CString strHead = CommentLine(0, kMinOffsetDigits) + CommentLine(0, kMinCountDigits);
        strHead += "<!DOCTYPE HTML PUBLIC -//W3C//DTD HTML 3.2//EN>";
        strHead += "<HTML>\n<HEAD>\n <TITLE>";
        AppendEscaped(strHead, strTitle.empty() ? CString("HTML Log") : strTitle);
        strHead += "</TITLE>\n</HEAD>\n\n<BODY BACKCOLOR=\"";
        AppendColor(strHead, crBack);
        strHead += "\" TEXT=\"";
        AppendColor(strHead, crText);
        strHead += "\">\n";
        m_file.SeekToBegin();
        m_file.Write(strHead.data(), strHead.size());
        m_nBodyOffset += strHead.size();
    } catch (const CUserException& e) {
        Fail(e.GetErrorMessage());
        RollBack();
        m_file.Abort();
        return false;
    }
    return true;
}

bool CHtmlLog::ReadExistingReport(std::uint64_t nLength)
{
    m_file.SeekToBegin();
    const CString strOffsetLine = ReadLine(true);
    const CString strCountLine = ReadLine(true);
    if (m_bFailed)
        return false;
    std::uint64_t nOffset = 0;
    std::uint64_t nCount = 0;
    if (!ParseCommentLine(strOffsetLine, kMinOffsetDigits, nOffset, m_nOffsetDigits) ||
        !ParseCommentLine(strCountLine, kMinCountDigits, nCount, m_nCountDigits) ||
        nOffset < strOffsetLine.size() + strCountLine.size() || nOffset > nLength) {
        Fail("Cannot add to \"" + m_strPath +
             "\": the file is not empty and is not an HTML report written by this program; it "
             "was left unchanged.");
        return false;
    }
    m_strOldHead = strOffsetLine + strCountLine;
    m_nBodyOffset = nOffset;
    // The rows are counted by the count line, not by line ends, since a cell
    // may hold a line feed. A file this writer finished ends with the end
    // tags, so the old rows stop right before them; otherwise the count line
    // is all there is to go by.
    std::uint64_t nBodyEnd = nLength;
    CString strTail;
    if (nLength - nOffset >= kEndOfFile.size()) {
        strTail.resize(kEndOfFile.size());
        m_file.Seek(static_cast<std::int64_t>(nLength - kEndOfFile.size()), SEEK_SET);
        strTail.resize(m_file.Read(strTail.data(), strTail.size()));
    }
    if (strTail == kEndOfFile) {
        nBodyEnd = nLength - kEndOfFile.size();
    } else {
        strTail.clear();
        m_file.Seek(static_cast<std::int64_t>(nOffset), SEEK_SET);
        std::uint64_t nLines = 0;
        std::uint64_t nPos = nOffset;
        std::vector<char> buffer(kCopyChunk);
        while (nLines < nCount) {
            const size_t nRead = m_file.Read(buffer.data(), buffer.size());
            if (nRead == 0)
                break;
            size_t i = 0;
            for (; i < nRead && nLines < nCount; ++i) {
                if (buffer[i] == '\n')
                    ++nLines;
            }
            nPos += i;
        }
        nBodyEnd = nPos;
        strTail.resize(static_cast<size_t>(nLength - nBodyEnd));
        m_file.Seek(static_cast<std::int64_t>(nBodyEnd), SEEK_SET);
        strTail.resize(m_file.Read(strTail.data(), strTail.size()));
    }
    m_nOldBodyEnd = nBodyEnd;
    m_strOldTail = strTail;
    m_nFileRowBytes = nBodyEnd - nOffset;
    m_nFileRows = nCount;
    // Added rows count from 0 again, with the two colours exchanged when
    // the stored count is odd; the first added row thus takes the colour of
    // the last stored one.
    if (nCount % 2 != 0)
        std::swap(m_crEvenRow, m_crOddRow);
    return true;
}

CString CHtmlLog::ReadLine(bool bMarkup)
{
    CString strLine;
    if (!m_file.IsOpen() || m_bFailed)
        return strLine;
    try {
        char ch = 0;
        while (m_file.Read(&ch, 1) == 1 && ch != '\n') {
            if (!bMarkup && (ch == '<' || ch == '!' || ch == '>'))
                continue;
            strLine += ch;
        }
    } catch (const CUserException& e) {
        Fail(e.GetErrorMessage());
        return CString();
    }
    if (!strLine.empty())
        strLine += '\n';
    return strLine;
}

bool CHtmlLog::WriteHeadBytes(std::string_view bytes)
{
    // Bytes before the body move every body row; once rows exist, only the
    // rows themselves may be added.
    if (!m_bNewFile || m_nFileRows > 0 || !m_arrRows.IsEmpty())
        return false;
    try {
        m_file.Seek(static_cast<std::int64_t>(m_nBodyOffset), SEEK_SET);
        m_file.Write(bytes.data(), bytes.size());
    } catch (const CUserException& e) {
        Fail(e.GetErrorMessage());
        return false;
    }
    m_nBodyOffset += bytes.size();
    return true;
}

bool CHtmlLog::BeginTable(int nCells, const CString& strCaption, bool bWrite, int nBorder,
                          int nWidthPercent, int nAlign)
{
    std::lock_guard<std::mutex> lock(m_cs);
    if (!m_file.IsOpen() || m_bFailed || nCells < 0)
        return false;
    try {
        m_cells.assign(static_cast<size_t>(nCells), CHtmlCell());
    } catch (const std::bad_alloc&) {
        m_cells.clear();
        m_nCells = 0;
        Fail("Failed to Save in Html File!");
        CloseLocked();
        return false;
    }
    m_nCells = nCells;
    m_nRowCount = 0;
    if (!bWrite)
        return true;
    static const char* const kAlign[] = {"LEFT", "RIGHT", "CENTER"};
    const char* pszAlign = nAlign >= 0 && nAlign <= 2 ? kAlign[nAlign] : "LEFT";
    char sz[256];
    std::snprintf(sz, sizeof sz,
                  "<TABLE WIDTH=\"%d%%\" BORDER=%d CELLSPACING=\"0\" ALIGN=\"%s\" style = "
                  "\"border-collapse: collapse\" >",
                  nWidthPercent, nBorder, pszAlign);
    CString strText = sz;
    if (!strCaption.empty()) {
        strText += "<CAPTION ALIGN=\"TOP\"><FONT style=\"font-size: 18pt; font-family: "
                   "tahoma,courrier,arial,helvetica,sans-serif\">";
        AppendEscaped(strText, strCaption);
        strText += "</FONT></CAPTION>";
    }
    strText += "\n";
    return WriteHeadBytes(strText);
}

bool CHtmlLog::SetCellText(int nCell, std::string_view text)
{
    std::lock_guard<std::mutex> lock(m_cs);
    if (nCell < 0 || nCell >= m_nCells)
        return false;
    m_cells[static_cast<size_t>(nCell)].m_strText.assign(text);
    return true;
}

bool CHtmlLog::SetCellWidth(int nCell, int nPercent)
{
    std::lock_guard<std::mutex> lock(m_cs);
    if (nCell < 0 || nCell >= m_nCells || nPercent < 0 || nPercent > 100)
        return false;
    m_cells[static_cast<size_t>(nCell)].m_strWidth = "WIDTH=\"" + std::to_string(nPercent) + "%\"";
    return true;
}

void CHtmlLog::SetNextRowColor(COLORREF cr)
{
    m_crNextRow = cr;
    m_bNextRowColor = true;
}

CString CHtmlLog::FormatRow(const CHtmlRowStyle& style, bool bHeader) const
{
    COLORREF crBack = m_nRowCount % 2 != 0 ? m_crOddRow : m_crEvenRow;
    if (m_bNextRowColor)
        crBack = m_crNextRow;
    const char* pszTag = bHeader ? "TH" : "TD";
    CString strLine(kRowStart);
    CString strColors = " BGCOLOR=\"";
    AppendColor(strColors, crBack);
    strColors += "\"><FONT SIZE=\"" + std::to_string(style.m_nFontSize) + "\" COLOR=\"";
    AppendColor(strColors, style.m_crFont);
    strColors += "\">";
    for (const CHtmlCell& cell : m_cells) {
        strLine += '<';
        strLine += pszTag;
        strLine += ' ';
        strLine += cell.m_strWidth;
        strLine += strColors;
        AppendEscaped(strLine, cell.m_strText);
        strLine += "</FONT>";
    }
    strLine += '\n';
    return strLine;
}

bool CHtmlLog::WriteRow(const CHtmlRowStyle& style, bool bHeader)
{
    std::lock_guard<std::mutex> lock(m_cs);
    if (!m_file.IsOpen() || m_bFailed)
        return false;
    CString strLine = FormatRow(style, bHeader);
    if (bHeader) {
        if (!WriteHeadBytes(strLine))
            return false;
    } else {
        // Rather than hold every row, write out what is held once the cap is
        // reached; the rows still go to the file in their order.
        if (m_nRowBytes + strLine.size() > kMaxRowBytes && !m_arrRows.IsEmpty() && !Flush())
            return false;
        m_nRowBytes += strLine.size();
        m_arrRows.Add(std::move(strLine));
    }
    ++m_nRowCount;
    m_bNextRowColor = false;
    return true;
}

bool CHtmlLog::Flush()
{
    if (!m_file.IsOpen() || m_bFailed)
        return false;
    try {
        const std::uint64_t nEnd = m_nBodyOffset + m_nFileRowBytes;
        // The first flush into an existing report cuts its end tags away;
        // Close writes them again below the new rows.
        if (m_file.GetLength() != nEnd)
            m_file.SetLength(nEnd);
        m_file.Seek(static_cast<std::int64_t>(nEnd), SEEK_SET);
        CString strRows;
        strRows.reserve(m_nRowBytes);
        for (const CString& strRow : m_arrRows)
            strRows += strRow;
        m_file.Write(strRows.data(), strRows.size());
        m_nFileRowBytes += strRows.size();
        m_nFileRows += static_cast<std::uint64_t>(m_arrRows.GetSize());
        m_arrRows.RemoveAll();
        m_nRowBytes = 0;
    } catch (const CUserException& e) {
        Fail(e.GetErrorMessage());
        return false;
    }
    return true;
}

bool CHtmlLog::Close()
{
    std::lock_guard<std::mutex> lock(m_cs);
    return CloseLocked();
}

void CHtmlLog::Abandon()
{
    std::lock_guard<std::mutex> lock(m_cs);
    if (!m_file.IsOpen())
        return;
    m_bFailed = true;
    CloseLocked();
}

bool CHtmlLog::CloseLocked()
{
    m_nRowCount = 0;
    m_cells.clear();
    m_nCells = 0;
    if (!m_file.IsOpen())
        return false;
    bool bOk = Flush();
    if (bOk) {
        try {
            m_file.SeekToEnd();
            m_file.Write(kEndOfFile.data(), kEndOfFile.size());
            WriteCommentLines();
            if (m_file.IsOpen()) {
                m_file.Flush();
                m_file.Close();
            }
        } catch (const CUserException& e) {
            Fail(e.GetErrorMessage());
            bOk = false;
        }
    }
    if (!bOk) {
        RollBack();
        m_file.Abort();
    }
    m_nBodyOffset = 0;
    m_arrRows.RemoveAll();
    m_nRowBytes = 0;
    return bOk;
}

void CHtmlLog::WriteCommentLines()
{
    const int nOffsetDigits = std::max(m_nOffsetDigits, DigitCount(m_nBodyOffset));
    const int nCountDigits = std::max(m_nCountDigits, DigitCount(m_nFileRows));
    if (nOffsetDigits > m_nOffsetDigits || nCountDigits > m_nCountDigits) {
        RewriteWithWiderCommentLines(nOffsetDigits, nCountDigits);
        return;
    }
    const CString strLines =
        CommentLine(m_nBodyOffset, m_nOffsetDigits) + CommentLine(m_nFileRows, m_nCountDigits);
    m_file.SeekToBegin();
    m_file.Write(strLines.data(), strLines.size());
}

void CHtmlLog::RewriteWithWiderCommentLines(int nOffsetDigits, int nCountDigits)
{
    // Wider lines move everything after them, which may in turn need
    // another digit for the offset.
    const std::uint64_t nOldPrefix =
        static_cast<std::uint64_t>(m_nOffsetDigits + 4 + m_nCountDigits + 4);
    std::uint64_t nOffset = 0;
    for (;;) {
        const std::uint64_t nNewPrefix =
            static_cast<std::uint64_t>(nOffsetDigits + 4 + nCountDigits + 4);
        nOffset = m_nBodyOffset - nOldPrefix + nNewPrefix;
        if (DigitCount(nOffset) <= nOffsetDigits)
            break;
        nOffsetDigits = DigitCount(nOffset);
    }
    // The new file replaces the old one only when it is complete.
    CAtomicFileSink sink(m_strPath);
    if (!sink.Open() ||
        !sink.Write(CommentLine(nOffset, nOffsetDigits) + CommentLine(m_nFileRows, nCountDigits)))
        throw CUserException(sink.GetError());
    m_file.Seek(static_cast<std::int64_t>(nOldPrefix), SEEK_SET);
    std::vector<char> buffer(kCopyChunk);
    for (;;) {
        const size_t nRead = m_file.Read(buffer.data(), buffer.size());
        if (nRead == 0)
            break;
        if (!sink.Write(std::string_view(buffer.data(), nRead)))
            throw CUserException(sink.GetError());
    }
    if (!sink.Commit())
        throw CUserException(sink.GetError());
    // The old file is gone from its name; let go of it.
    m_file.Abort();
    m_nBodyOffset = nOffset;
    m_nOffsetDigits = nOffsetDigits;
    m_nCountDigits = nCountDigits;
}

void CHtmlLog::RollBack() noexcept
{
    if (m_bNewFile) {
        if (m_bCreated) {
            m_file.Abort();
            ::unlink(m_strPath.c_str());
            return;
        }
        try {
            if (m_file.IsOpen())
                m_file.SetLength(0);
        } catch (const CUserException&) {
            // Nothing more can be done for it; the error is already reported.
        }
        return;
    }
    if (!m_file.IsOpen())
        return;
    try {
        m_file.SetLength(m_nOldBodyEnd);
        m_file.Seek(static_cast<std::int64_t>(m_nOldBodyEnd), SEEK_SET);
        m_file.Write(m_strOldTail.data(), m_strOldTail.size());
        m_file.SeekToBegin();
        m_file.Write(m_strOldHead.data(), m_strOldHead.size());
    } catch (const CUserException&) {
        // As above: the first error is the one the user sees.
    }
}
