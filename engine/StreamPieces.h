#pragma once
// The pieces of a text that can be read only once, from its start to its
// end: standard input, a pipe, a FIFO, a device, or a file whose size
// reads as 0. Bytes are read as pieces are asked for; a piece is kept until
// the run lets it go, so that it can be read again in the other encoding.
// Where the whole rest of the text is needed (to tell whether it is UTF-8,
// or to read it whole), it is spooled to a temporary file, not held in
// memory.

#include "framework/StringTypes.h"

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>

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

    // The bytes of piece k (pieces are numbered from 0): bPastEnd when the
    // text has no such piece, bLast for its last one. False, with strError
    // set, when reading fails or a line is longer than the cap.
    bool ReadRaw(std::size_t k, std::shared_ptr<const CString>& pRaw, bool& bLast, bool& bPastEnd,
                 CString& strError);
    // Lets piece k go.
    void Release(std::size_t k);

    // Whether the whole text is well-formed UTF-8; reads the rest of it into
    // the spool to tell.
    bool IsUtf8(CString& strError);

    // Puts the text from its first byte (or the first after the leading
    // line ends) into the spool file and gives its path, for reading it
    // whole; the pieces read so far must not have been let go.
    bool SpoolAll(CString& strPath, CString& strError);

    // The longest line held in memory.
    static constexpr std::size_t kMaxLine = std::size_t{256} << 20;

private:
    bool Fill(std::size_t nWanted, CString& strError);
    bool NextPiece(CString& strRaw, bool& bLast, CString& strError);
    bool Drain(CString& strError);
    bool WriteSpool(int fd, std::string_view bytes, CString& strError) const;

    int m_fd;
    std::uint64_t m_nPieceSize;
    CString m_strName;
    std::mutex m_mutex;
    bool m_bMark = false;
    bool m_bEof = false;     // the bytes of fd are all read
    bool m_bDrained = false; // the rest of fd went into the spool
    CString m_strBuffer;     // bytes read and not yet cut into pieces
    std::size_t m_nNext = 0; // the next piece to cut
    bool m_bLastCut = false; // the last piece has been cut
    std::map<std::size_t, std::shared_ptr<const CString>> m_pieces; // cut and not let go
    int m_spool = -1;
    CString m_strSpoolPath;
    std::uint64_t m_nSpoolRead = 0; // after draining, where reading the spool has got
    std::unique_ptr<str::CUtf8Validator> m_pValidator;
};
