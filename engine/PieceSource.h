#pragma once
// Where the pieces of a streamed parse come from: byte ranges of a file
// without a byte-order mark, each cut just after a line end; stretches of a
// joined text in memory, each cut just after a CR LF; or one text whole.
// Every piece but the last ends with CR LF, or is empty (past the end of
// a file).

#include "framework/StringTypes.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

class CStreamPieces;
class CTextFileReader;

// A thread's buffers for reading pieces.
struct CPieceBuffers
{
    std::vector<char> block = std::vector<char>(size_t{64} << 10);
    CString strRaw;
};

// One piece as read: its text, and whether it read the same as UTF-8 and as
// Windows-1252 (plain ASCII).
struct CPieceText
{
    std::string_view text; // in strOwned, in pShared or in a text in memory
    CString strOwned;
    std::shared_ptr<const void> pShared; // bytes of a stream that are their own text
    bool bAscii = true;
    bool bLast = false;    // the text's last piece
    bool bPastEnd = false; // the text has no such piece
};

class CPieceSource
{
public:
    // The pieces of a file whose encoding the reader has settled.
    CPieceSource(CTextFileReader& reader, std::uint64_t nPieceSize);
    // The pieces of a joined text in memory, which must stay as it is
    // while the pieces are read.
    CPieceSource(std::string_view text, std::uint64_t nPieceSize);
    // One piece: the text whole.
    explicit CPieceSource(CString strWhole);
    // The pieces of a text read once from its start (see CStreamPieces),
    // after its start has been read.
    explicit CPieceSource(CStreamPieces& stream);

    // The number of pieces, or -1 while it is not known.
    size_t GetCount() const { return m_nCount; }

    // Piece k; the last piece of a file gets the CR LF that closes the
    // joined text. False, with strError set, when the text cannot be read.
    bool Read(size_t k, bool bUtf8, CPieceText& piece, CPieceBuffers& buffers, CString& strError);
    // Whether the whole text is UTF-8 (for bytes without a byte-order mark).
    bool IsUtf8Text(CString& strError);
    // Piece k and those before it are passed on.
    void Release(size_t k);
    // While bOn, Read gives up (false, with strError empty) where it would
    // wait for the bytes of a stream.
    void GiveUpWaits(bool bOn);

private:
    // Where the file's piece that starts at or after nNominal begins.
    std::uint64_t FilePieceStart(std::uint64_t nNominal, CPieceBuffers& buffers, CString& strError);

    bool ReadStream(size_t k, bool bUtf8, CPieceText& piece, CString& strError);

    CTextFileReader* m_pReader = nullptr;
    CStreamPieces* m_pStream = nullptr;
    std::uint64_t m_nPieceSize = 1;
    std::uint64_t m_nLength = 0;
    std::uint64_t m_nTextStart = 0; // the first byte that is not a line end
    size_t m_nCount = 1;
    CString m_strWhole;
    std::string_view m_text;          // a text in memory
    std::vector<size_t> m_textStarts; // where its pieces start
    std::mutex m_longLineMutex;
    // Every nominal start in [m_nLongLineFrom, m_nLongLineEnd) gives
    // m_nLongLineEnd.
    std::uint64_t m_nLongLineFrom = 0;
    std::uint64_t m_nLongLineEnd = 0;
};
