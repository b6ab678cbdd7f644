#include "StreamPieces.h"

#include "framework/File.h"
#include "framework/Messages.h"
#include "framework/StringUtil.h"
#include "framework/TempFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

// Where a piece's last line runs past its bytes, reads for the rest of the
// line ask for this much, as the next piece takes what is read beyond it.
constexpr std::size_t kLineStep = std::size_t{4} << 10;
constexpr std::size_t kPipeSize = std::size_t{1} << 20;

bool IsLineEnd(char ch) { return ch == '\r' || ch == '\n'; }

} // namespace

// Bytes in a buffer that is not cleared before it is read into.
class CStreamPieces::CBlock
{
public:
    CBlock() = default;
    explicit CBlock(std::size_t nCapacity) : m_pBytes(new char[nCapacity]), m_nCapacity(nCapacity)
    {}

    char* Data() { return m_pBytes.get(); }
    std::string_view View() const { return {m_pBytes.get(), m_nSize}; }
    std::size_t Size() const { return m_nSize; }
    std::size_t Capacity() const { return m_nCapacity; }
    void SetSize(std::size_t nSize) { m_nSize = nSize; }
    // Room for nNeeded bytes, keeping those held.
    void Reserve(std::size_t nNeeded)
    {
        if (nNeeded <= m_nCapacity)
            return;
        CBlock grown(std::max(nNeeded, 2 * m_nCapacity));
        if (m_nSize > 0)
            std::memcpy(grown.Data(), Data(), m_nSize);
        grown.m_nSize = m_nSize;
        *this = std::move(grown);
    }

private:
    std::unique_ptr<char[]> m_pBytes;
    std::size_t m_nCapacity = 0;
    std::size_t m_nSize = 0;
};

// The blocks of a piece's size that have been let go, for the next pieces:
// their pages are not taken from the system and cleared again.
class CStreamPieces::CBlockPool
{
public:
    explicit CBlockPool(std::size_t nCapacity) : m_nCapacity(nCapacity) {}

    CBlock Take()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_free.empty()) {
                CBlock block = std::move(m_free.back());
                m_free.pop_back();
                return block;
            }
        }
        return CBlock(m_nCapacity);
    }
    void Give(CBlock&& block)
    {
        if (block.Capacity() != m_nCapacity)
            return;
        block.SetSize(0);
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_free.push_back(std::move(block));
    }

private:
    std::size_t m_nCapacity;
    std::mutex m_mutex;
    std::vector<CBlock> m_free;
};

CStreamPieces::CStreamPieces(int fd, std::uint64_t nPieceSize, CString strName)
    : m_fd(fd), m_nPieceSize(std::max<std::uint64_t>(nPieceSize, 1)), m_strName(std::move(strName)),
      m_pBuffer(std::make_unique<CBlock>()), m_pValidator(std::make_unique<str::CUtf8Validator>())
{
    // A piece, and what a read may bring beyond it, fits a block.
    const std::size_t nBlock =
        static_cast<std::size_t>(std::min<std::uint64_t>(m_nPieceSize, kMaxLine)) + kReadBlock + 1;
    m_pPool = std::make_shared<CBlockPool>(nBlock);
    *m_pBuffer = m_pPool->Take();
    // A larger pipe lets the writer run ahead instead of waiting for every
    // 64 KB to be read; where it cannot grow, nothing changes.
    ::fcntl(m_fd, F_SETPIPE_SZ, static_cast<int>(kPipeSize));
}

CStreamPieces::~CStreamPieces()
{
    StopReader();
    if (m_spool >= 0)
        ::close(m_spool);
}

// Waits until fd has bytes to read (or its end, or an error that the read
// then tells); false when the reader is asked to stop first.
bool CStreamPieces::WaitReadable()
{
    if (m_wake < 0)
        return true;
    pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wake, POLLIN, 0}};
    while (::poll(fds, 2, -1) < 0) {
        if (errno != EINTR)
            return true;
    }
    if ((fds[1].revents & POLLIN) == 0)
        return true;
    m_bInterrupted = true;
    return false;
}

// Reads until the buffer holds nWanted bytes or the text has ended, at
// least nLeast bytes a read. False, with strError empty, when the reader is
// asked to stop.
bool CStreamPieces::Fill(std::size_t nWanted, CString& strError, std::size_t nLeast)
{
    CBlock& buffer = *m_pBuffer;
    while (buffer.Size() < nWanted && !m_bEof) {
        const std::size_t nOld = buffer.Size();
        const std::size_t nAsk = std::max(nWanted - nOld, nLeast);
        buffer.Reserve(nOld + nAsk);
        ssize_t n = 0;
        if (m_bDrained) {
            n = ::pread(m_spool, buffer.Data() + nOld, nAsk, static_cast<off_t>(m_nSpoolRead));
        } else {
            if (!WaitReadable())
                return false;
            n = ::read(m_fd, buffer.Data() + nOld, nAsk);
        }
        if (n < 0) {
            if (errno == EINTR)
                continue;
            strError = msg::CannotRead(m_strName, ErrnoText(errno));
            return false;
        }
        buffer.SetSize(nOld + static_cast<std::size_t>(n));
        if (n == 0) {
            m_bEof = true;
        } else if (m_bDrained) {
            m_nSpoolRead += static_cast<std::uint64_t>(n);
        } else {
            m_pValidator->Feed(reinterpret_cast<const unsigned char*>(buffer.Data() + nOld),
                               static_cast<std::size_t>(n));
        }
    }
    return true;
}

bool CStreamPieces::Start(CString& strError)
{
    if (!Fill(3, strError))
        return false;
    const std::string_view head = m_pBuffer->View();
    const auto byteAt = [&](std::size_t i) {
        return i < head.size() ? static_cast<unsigned char>(head[i]) : 0u;
    };
    m_bMark = (byteAt(0) == 0xFF && byteAt(1) == 0xFE) ||
        (byteAt(0) == 0xFE && byteAt(1) == 0xFF) ||
        (byteAt(0) == 0xEF && byteAt(1) == 0xBB && byteAt(2) == 0xBF);
    if (m_bMark)
        return true;
    for (;;) {
        const std::string_view bytes = m_pBuffer->View();
        const std::size_t nText = bytes.find_first_not_of("\r\n");
        if (nText != std::string_view::npos) {
            std::memmove(m_pBuffer->Data(), bytes.data() + nText, bytes.size() - nText);
            m_pBuffer->SetSize(bytes.size() - nText);
            return true;
        }
        m_pBuffer->SetSize(0);
        if (m_bEof)
            return true;
        if (!Fill(1, strError))
            return false;
    }
}

// Cuts the next piece from the buffer: about a piece's bytes, through the
// first line end at or after them. The piece takes the buffer; what
// follows it goes to a fresh one.
bool CStreamPieces::CutPiece(CBlock& piece, CString& strError)
{
    const auto nSize = static_cast<std::size_t>(m_nPieceSize);
    if (!Fill(nSize + 1, strError))
        return false;
    std::size_t nFrom = std::min(nSize - 1, m_pBuffer->Size());
    std::size_t nCut = CString::npos;
    while (nCut == CString::npos) {
        const std::string_view bytes = m_pBuffer->View();
        const auto it = std::find_if(bytes.begin() + static_cast<std::ptrdiff_t>(nFrom),
                                     bytes.end(), IsLineEnd);
        const auto nAt = static_cast<std::size_t>(it - bytes.begin());
        if (nAt + 1 < bytes.size() || (nAt < bytes.size() && m_bEof)) {
            // A CR takes the LF after it into the same line end.
            const bool bPair =
                bytes[nAt] == '\r' && nAt + 1 < bytes.size() && bytes[nAt + 1] == '\n';
            nCut = nAt + (bPair ? 2 : 1);
        } else if (m_bEof) {
            nCut = bytes.size();
        } else if (bytes.size() > kMaxLine + nSize) {
            strError = "Cannot parse \"" + m_strName + "\": a line is longer than " +
                std::to_string(kMaxLine >> 20) + " MB";
            return false;
        } else {
            // The line end is most often a few bytes on: the bytes read
            // past it are copied to the next piece.
            nFrom = nAt;
            const std::size_t nStep = bytes.size() < nSize + kReadBlock ? kLineStep : kReadBlock;
            if (!Fill(bytes.size() + nStep, strError, nStep))
                return false;
        }
    }
    CBlock rest = m_pPool->Take();
    const std::string_view tail = m_pBuffer->View().substr(nCut);
    rest.Reserve(tail.size());
    if (!tail.empty())
        std::memcpy(rest.Data(), tail.data(), tail.size());
    rest.SetSize(tail.size());
    piece = std::move(*m_pBuffer);
    piece.SetSize(nCut);
    *m_pBuffer = std::move(rest);
    return true;
}

// One step of the reader: tells whether the pieces cut so far are all,
// then waits until another piece is wanted and cuts it. False when the
// reader is done.
bool CStreamPieces::ReadAheadStep(CString& strError)
{
    if (!Fill(1, strError))
        return false;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_pBuffer->Size() == 0 && m_bEof && m_nNext > 0) {
            m_bLastCut = true;
            return false;
        }
        m_nNotLast = m_nNext;
        m_cv.notify_all();
        m_cv.wait(lock, [&]() { return m_bStop || m_nNext < m_nAsked + kReadAhead; });
        if (m_bStop)
            return false;
    }
    CBlock piece;
    if (!CutPiece(piece, strError))
        return false;
    const std::shared_ptr<CBlockPool> pPool = m_pPool;
    std::shared_ptr<const CBlock> pPiece(new CBlock(std::move(piece)), [pPool](const CBlock* p) {
        pPool->Give(std::move(*const_cast<CBlock*>(p)));
        delete p;
    });
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_pieces.emplace(m_nNext++, std::move(pPiece));
    return true;
}

void CStreamPieces::ReadAhead()
{
    CString strError;
    std::exception_ptr pException;
    try {
        while (ReadAheadStep(strError))
            m_cv.notify_all();
    } catch (const std::exception&) {
        pException = std::current_exception();
    }
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        // A reader that stopped short of the end without being asked to
        // failed.
        if (!m_bLastCut && !m_bInterrupted && !m_bStop) {
            m_bFailed = true;
            m_strReadError = strError;
            m_pReadException = pException;
        }
    }
    m_cv.notify_all();
}

// Starts the reader; the caller holds the lock.
void CStreamPieces::StartReader()
{
    m_wake = ::eventfd(0, EFD_CLOEXEC);
    if (m_wake < 0)
        throw std::system_error(errno, std::generic_category());
    m_bInterrupted = false;
    m_bStop = false;
    try {
        m_reader = std::thread([this]() { ReadAhead(); });
    } catch (...) {
        ::close(m_wake);
        m_wake = -1;
        throw;
    }
}

// Stops the reader, also while it waits for the writer; the caller does
// not hold the lock.
void CStreamPieces::StopReader()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_reader.joinable())
            return;
        m_bStop = true;
    }
    m_cv.notify_all();
    const std::uint64_t nOne = 1;
    while (::write(m_wake, &nOne, sizeof nOne) < 0 && errno == EINTR) {
    }
    m_reader.join();
    ::close(m_wake);
    m_wake = -1;
}

bool CStreamPieces::ReadRaw(std::size_t k, std::string_view& raw,
                            std::shared_ptr<const void>& pOwner, bool& bLast, bool& bPastEnd,
                            CString& strError)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    bPastEnd = false;
    bLast = false;
    if (m_nAsked <= k) {
        m_nAsked = k + 1;
        m_cv.notify_all();
    }
    // Pieces are cut in order; those before one asked for ahead of its turn
    // are kept for their own readers. A piece is served once it is known
    // whether it is the last.
    while (!m_bLastCut && k >= m_nNotLast && !m_bFailed && !m_bGiveUp) {
        // While held, the reader may be being joined without the lock: it
        // is not looked at then.
        if (!m_bHold && !m_reader.joinable())
            StartReader();
        m_cv.wait(lock);
    }
    const auto it = m_pieces.find(k);
    if (it != m_pieces.end() && (m_bLastCut || k < m_nNotLast)) {
        raw = it->second->View();
        pOwner = it->second;
        bLast = m_bLastCut && k + 1 == m_nNext;
        return true;
    }
    if (m_bLastCut) {
        bPastEnd = true;
        return true;
    }
    if (!m_bFailed)
        return false;
    if (m_pReadException)
        std::rethrow_exception(m_pReadException);
    strError = m_strReadError;
    return false;
}

void CStreamPieces::GiveUpWaits(bool bOn)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bGiveUp = bOn;
    }
    m_cv.notify_all();
}

void CStreamPieces::Release(std::size_t k)
{
    std::vector<std::shared_ptr<const CBlock>> done; // let go outside the lock
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto itEnd = m_pieces.upper_bound(k);
    for (auto it = m_pieces.begin(); it != itEnd; ++it)
        done.push_back(std::move(it->second));
    m_pieces.erase(m_pieces.begin(), itEnd);
}

bool CStreamPieces::WriteSpool(int fd, std::string_view bytes, CString& strError) const
{
    if (WriteFully(fd, bytes.data(), bytes.size()))
        return true;
    strError = msg::CannotWrite("a temporary file for " + m_strName, ErrnoText(errno));
    return false;
}

// Moves the rest of fd into the spool, checking it as it goes; the pieces
// are then cut from the spool. The reader is stopped.
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
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bHold = true;
    }
    StopReader();
    const bool bDrained = Drain(strError);
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bHold = false;
    }
    m_cv.notify_all();
    return bDrained && m_pValidator->IsValid();
}

bool CStreamPieces::SpoolAll(CString& strPath, CString& strError)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bHold = true;
    }
    StopReader();
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
        bOk = bOk && WriteSpool(whole, pPiece->View(), strError);
    while (bOk) {
        bOk = WriteSpool(whole, m_pBuffer->View(), strError);
        m_pBuffer->SetSize(0);
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
