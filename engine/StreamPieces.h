#pragma once
// The pieces of a text that can be read only once, from its start to its
// end: standard input, a pipe, a FIFO, a device, or a file whose size
// reads as 0. A thread of its own reads the pieces a few ahead of those
// asked for, so that the threads that parse them seldom wait for the
// writer; a piece is kept until the run lets it go, so that it can be read
// again in the other encoding. Where the whole rest of the text is needed
// (to tell whether it is UTF-8, or to read it whole), it is spooled to a
// temporary file, not held in memory.

#include "framework/StringTypes.h"

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>

namespace str {
class CUtf8Validator;
}

class CStreamPieces
{
public:
    // Reads fd (which the caller keeps open) in pieces of about nPieceSize
    // bytes, each cut just after a line end. strName names the text in
    // messages.
    CStreamPieces(int fd, std::uint64_t nPieceSize, CString strName);
    ~CStreamPieces();
    CStreamPieces(const CStreamPieces&) = delete;
    CStreamPieces& operator=(const CStreamPieces&) = delete;

    // Reads the first bytes: whether the text starts with a byte-order mark
    // (then only SpoolAll serves it); without one the line ends that lead
    // the text are passed over, as a loaded text leaves them out.
    bool Start(CString& strError);
    bool HasByteOrderMark() const { return m_bMark; }

    // The bytes of piece k (pieces are numbered from 0), which pOwner keeps:
    // bPastEnd when the text has no such piece, bLast for its last one.
    // False, with strError set, when reading fails or a line is longer than
    // the cap.
    bool ReadRaw(std::size_t k, std::string_view& raw, std::shared_ptr<const void>& pOwner,
                 bool& bLast, bool& bPastEnd, CString& strError);
    // Lets piece k and those before it go.
    void Release(std::size_t k);
    // While bOn, ReadRaw gives up at once (false, with strError empty)
    // where it would wait for bytes: for the end of a run, whose readers
    // must not wait for a writer that may never write again.
    void GiveUpWaits(bool bOn);

    // Whether the whole text is well-formed UTF-8; reads the rest of it into
    // the spool to tell.
    bool IsUtf8(CString& strError);

    // Puts the text from its first byte (or the first after the leading
    // line ends) into the spool file and gives its path, for reading it
    // whole; the pieces read so far must not have been let go.
    bool SpoolAll(CString& strPath, CString& strError);

    // The longest line held in memory.
    static constexpr std::size_t kMaxLine = std::size_t{256} << 20;
    // The pieces read ahead of the last one asked for.
    static constexpr std::size_t kReadAhead = 4;

private:
    class CBlock;
    class CBlockPool;

    // Reads ask for what is wanted, at least kReadBlock bytes, so that
    // little is read beyond a piece.
    static constexpr std::size_t kReadBlock = std::size_t{64} << 10;
    bool Fill(std::size_t nWanted, CString& strError, std::size_t nLeast = kReadBlock);
    bool WaitReadable();
    bool CutPiece(CBlock& piece, CString& strError);
    void ReadAhead();
    bool ReadAheadStep(CString& strError);
    void StartReader();
    void StopReader();
    bool Drain(CString& strError);
    bool WriteSpool(int fd, std::string_view bytes, CString& strError) const;

    int m_fd;
    std::uint64_t m_nPieceSize;
    CString m_strName;
    bool m_bMark = false;
    std::shared_ptr<CBlockPool> m_pPool;

    // The reader's own while it runs, and the caller's while it does not.
    std::unique_ptr<CBlock> m_pBuffer; // bytes read and not yet cut into pieces
    bool m_bEof = false;               // the bytes of fd are all read
    bool m_bDrained = false;           // the rest of fd went into the spool
    bool m_bInterrupted = false;       // the reader was stopped while it waited for bytes
    int m_spool = -1;
    CString m_strSpoolPath;
    std::uint64_t m_nSpoolRead = 0; // after draining, where reading the spool has got
    std::unique_ptr<str::CUtf8Validator> m_pValidator;
    std::thread m_reader;
    int m_wake = -1; // an event that stops the reader's wait for bytes

    // Shared, under the mutex.
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::size_t m_nNext = 0;    // the next piece to cut
    std::size_t m_nNotLast = 0; // the pieces before this one are not the last
    std::size_t m_nAsked = 0;   // the pieces before this one have been asked for
    bool m_bLastCut = false;    // the last piece has been cut
    bool m_bStop = false;       // the reader is to stop
    bool m_bHold = false;       // the reader is not to be started
    bool m_bGiveUp = false;     // ReadRaw does not wait
    bool m_bFailed = false;     // reading failed: m_strReadError or m_pReadException
    CString m_strReadError;
    std::exception_ptr m_pReadException;
    std::map<std::size_t, std::shared_ptr<const CBlock>> m_pieces; // cut and not let go
};
