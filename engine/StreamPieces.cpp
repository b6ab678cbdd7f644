#include "StreamPieces.h"

#include "framework/File.h"
#include "framework/Messages.h"
#include "framework/StringUtil.h"
#include "framework/TempFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

// Reads ask for what is wanted, at least this much, so that little is read
// beyond a piece.
constexpr std::size_t kReadBlock = std::size_t{64} << 10;
constexpr std::size_t kPipeSize = std::size_t{1} << 20;

bool IsLineEnd(char ch) { return ch == '\r' || ch == '\n'; }

} // namespace

CStreamPieces::CStreamPieces(int fd, std::uint64_t nPieceSize, CString strName)
    : m_fd(fd), m_nPieceSize(std::max<std::uint64_t>(nPieceSize, 1)), m_strName(std::move(strName)),
      m_pValidator(std::make_unique<str::CUtf8Validator>())
{
    // A larger pipe lets the writer run ahead instead of waiting for every
    // 64 KB to be read; where it cannot grow, nothing changes.
    ::fcntl(m_fd, F_SETPIPE_SZ, static_cast<int>(kPipeSize));
}

CStreamPieces::~CStreamPieces()
{
    if (m_spool >= 0)
        ::close(m_spool);
}

// Reads until the buffer holds nWanted bytes or the text has ended.
bool CStreamPieces::Fill(std::size_t nWanted, CString& strError)
{
    while (m_strBuffer.size() < nWanted && !m_bEof) {
        const std::size_t nOld = m_strBuffer.size();
        const std::size_t nAsk = std::max(nWanted - nOld, kReadBlock);
        m_strBuffer.resize(nOld + nAsk);
        ssize_t n = 0;
        if (m_bDrained)
            n = ::pread(m_spool, m_strBuffer.data() + nOld, nAsk, static_cast<off_t>(m_nSpoolRead));
        else
            n = ::read(m_fd, m_strBuffer.data() + nOld, nAsk);
        if (n < 0) {
            m_strBuffer.resize(nOld);
            if (errno == EINTR)
                continue;
            strError = msg::CannotRead(m_strName, ErrnoText(errno));
            return false;
        }
        m_strBuffer.resize(nOld + static_cast<std::size_t>(n));
        if (n == 0) {
            m_bEof = true;
        } else if (m_bDrained) {
            m_nSpoolRead += static_cast<std::uint64_t>(n);
        } else {
            m_pValidator->Feed(reinterpret_cast<const unsigned char*>(m_strBuffer.data() + nOld),
                               static_cast<std::size_t>(n));
        }
    }
    return true;
}

bool CStreamPieces::Start(CString& strError)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!Fill(3, strError))
        return false;
    const auto byteAt = [&](std::size_t i) {
        return i < m_strBuffer.size() ? static_cast<unsigned char>(m_strBuffer[i]) : 0u;
    };
    m_bMark = (byteAt(0) == 0xFF && byteAt(1) == 0xFE) ||
        (byteAt(0) == 0xFE && byteAt(1) == 0xFF) ||
        (byteAt(0) == 0xEF && byteAt(1) == 0xBB && byteAt(2) == 0xBF);
    if (m_bMark)
        return true;
    for (;;) {
        const std::size_t nText = m_strBuffer.find_first_not_of("\r\n");
        if (nText != CString::npos) {
            m_strBuffer.erase(0, nText);
            return true;
        }
        m_strBuffer.clear();
        if (m_bEof)
            return true;
        if (!Fill(1, strError))
            return false;
    }
}

// Cuts the next piece from the buffer: about a piece's bytes, through the
// first line end at or after them.
bool CStreamPieces::NextPiece(CString& strRaw, bool& bLast, CString& strError)
{
    const auto nSize = static_cast<std::size_t>(m_nPieceSize);
    if (!Fill(nSize + 1, strError))
        return false;
    std::size_t nFrom = std::min(nSize - 1, m_strBuffer.size());
    std::size_t nCut = CString::npos;
    while (nCut == CString::npos) {
        const auto it = std::find_if(m_strBuffer.begin() + static_cast<std::ptrdiff_t>(nFrom),
                                     m_strBuffer.end(), IsLineEnd);
        const auto nAt = static_cast<std::size_t>(it - m_strBuffer.begin());
        if (nAt + 1 < m_strBuffer.size() || (nAt < m_strBuffer.size() && m_bEof)) {
            // A CR takes the LF after it into the same line end.
            const bool bPair = m_strBuffer[nAt] == '\r' && nAt + 1 < m_strBuffer.size() &&
                m_strBuffer[nAt + 1] == '\n';
            nCut = nAt + (bPair ? 2 : 1);
        } else if (m_bEof) {
            nCut = m_strBuffer.size();
        } else if (m_strBuffer.size() > kMaxLine + nSize) {
            strError = "Cannot parse \"" + m_strName + "\": a line is longer than " +
                std::to_string(kMaxLine >> 20) + " MB";
            return false;
        } else {
            nFrom = nAt == m_strBuffer.size() ? m_strBuffer.size() : nAt;
            if (!Fill(m_strBuffer.size() + kReadBlock, strError))
                return false;
        }
    }
    // The piece takes the buffer; only what follows it is copied back.
    CString strTail = m_strBuffer.substr(nCut);
    strRaw = std::move(m_strBuffer);
    strRaw.resize(nCut);
    m_strBuffer = std::move(strTail);
    if (!Fill(1, strError))
        return false;
    bLast = m_strBuffer.empty() && m_bEof;
    return true;
}

bool CStreamPieces::ReadRaw(std::size_t k, std::shared_ptr<const CString>& pRaw, bool& bLast,
                            bool& bPastEnd, CString& strError)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    bPastEnd = false;
    bLast = false;
    // Pieces are cut in order; one asked for ahead of its turn gets those
    // before it cut and kept for their own readers.
    while (m_nNext <= k && !m_bLastCut) {
        CString strPiece;
        bool bLastPiece = false;
        if (!NextPiece(strPiece, bLastPiece, strError))
            return false;
        m_pieces.emplace(m_nNext++, std::make_shared<const CString>(std::move(strPiece)));
        m_bLastCut = bLastPiece;
    }
    const auto it = m_pieces.find(k);
    if (it == m_pieces.end()) {
        bPastEnd = true;
        return true;
    }
    pRaw = it->second;
    bLast = m_bLastCut && k + 1 == m_nNext;
    return true;
}

void CStreamPieces::Release(std::size_t k)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_pieces.erase(m_pieces.begin(), m_pieces.upper_bound(k));
}

bool CStreamPieces::WriteSpool(int fd, std::string_view bytes, CString& strError) const
{
    if (WriteFully(fd, bytes.data(), bytes.size()))
        return true;
    strError = msg::CannotWrite("a temporary file for " + m_strName, ErrnoText(errno));
    return false;
}

// Moves the rest of fd into the spool, checking it as it goes; the pieces
// are then cut from the spool.
bool CStreamPieces::Drain(CString& strError)
{
    if (m_bDrained || m_bEof)
        return true;
    m_spool = CreateAnonymousFile(m_strSpoolPath);
    if (m_spool < 0) {
        strError = msg::CannotWrite("a temporary file for " + m_strName, ErrnoText(errno));
        return false;
    }
    CString strBlock;
    strBlock.resize(std::size_t{1} << 20);
    for (;;) {
        const ssize_t n = ::read(m_fd, strBlock.data(), strBlock.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            strError = msg::CannotRead(m_strName, ErrnoText(errno));
            return false;
        }
        if (n == 0)
            break;
        const std::string_view block(strBlock.data(), static_cast<std::size_t>(n));
        m_pValidator->Feed(reinterpret_cast<const unsigned char*>(block.data()), block.size());
        if (!WriteSpool(m_spool, block, strError))
            return false;
    }
    m_bDrained = true;
    m_nSpoolRead = 0;
    return true;
}

bool CStreamPieces::IsUtf8(CString& strError)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!Drain(strError))
        return false;
    return m_pValidator->IsValid();
}

bool CStreamPieces::SpoolAll(CString& strPath, CString& strError)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    // The whole text goes into a file of its own: the pieces kept, the
    // bytes read ahead, then the rest from wherever it is now.
    CString strWholePath;
    const int whole = CreateAnonymousFile(strWholePath);
    if (whole < 0) {
        strError = msg::CannotWrite("a temporary file for " + m_strName, ErrnoText(errno));
        return false;
    }
    bool bOk = true;
    for (const auto& [k, pPiece] : m_pieces)
        bOk = bOk && WriteSpool(whole, *pPiece, strError);
    while (bOk) {
        bOk = WriteSpool(whole, m_strBuffer, strError);
        m_strBuffer.clear();
        if (m_bEof)
            break;
        bOk = bOk && Fill(std::size_t{1} << 20, strError);
    }
    if (m_spool >= 0)
        ::close(m_spool);
    m_spool = whole;
    m_strSpoolPath = strWholePath;
    strPath = strWholePath;
    return bOk;
}
