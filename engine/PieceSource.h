#pragma once
// Where the pieces of a streamed parse come from: byte ranges of a file
// without a byte-order mark, each cut just after a line end; stretches of a
// joined text in memory, each cut just after a CR LF; or one text whole.
// Every piece but the last ends with CR LF, or is empty (past the end of
// a file).

#include "framework/StringTypes.h"

#include <cstdint>
#include <mutex>
#include <string_view>
#include <vector>

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
    std::string_view text; // strOwned, or a stretch of a text in memory
    CString strOwned;
    bool bAscii = true;
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

    size_t GetCount() const { return m_nCount; }
    // Whether the pieces are bytes of a file (and so may have to be read
    // again as Windows-1252).
    bool IsFile() const { return m_pReader != nullptr; }

    // Piece k; the last piece of a file gets the CR LF that closes the
    // joined text. False, with strError set, when the file cannot be read.
    bool Read(size_t k, bool bUtf8, CPieceText& piece, CPieceBuffers& buffers, CString& strError);

private:
    // Where the file's piece that starts at or after nNominal begins.
    std::uint64_t FilePieceStart(std::uint64_t nNominal, CPieceBuffers& buffers, CString& strError);

    CTextFileReader* m_pReader = nullptr;
    std::uint64_t m_nPieceSize = 1;
    std::uint64_t m_nLength = 0;
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
