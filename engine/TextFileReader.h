#pragma once
// Reads one text file into lines, once, from its start to its end.
//
// The byte-order mark decides the encoding: FF FE is UTF-16 little-endian,
// FE FF UTF-16 big-endian, EF BB BF UTF-8. A file without a mark is taken
// byte for byte when it is well-formed UTF-8 and read as Windows-1252
// otherwise. Lines end at CR, LF or CR LF and come back as UTF-8.

#include "framework/File.h"
#include "framework/StringTypes.h"

#include <cstdint>
#include <vector>

class CTextReaderBase
{
public:
    virtual ~CTextReaderBase() = default;
    virtual void Close() = 0;
};

class CTextFileReader : public CTextReaderBase
{
public:
    enum EEncoding { ANSI = 0, UTF16_BE = 1, UTF16_LE = 2, UTF8 = 3 };

    explicit CTextFileReader(const CString& strPath);
    ~CTextFileReader() override;
    CTextFileReader(const CTextFileReader&) = delete;
    CTextFileReader& operator=(const CTextFileReader&) = delete;

    bool IsOpen() const { return m_file.IsOpen(); }
    bool IsEOF() const { return m_bEOF; }
    int GetEncoding() const { return m_nEncoding; }
    // The file's length in bytes, halved for UTF-16.
    std::uint64_t GetLength() const;
    // Why the file could not be opened or read; empty when all went well.
    const CString& GetError() const { return m_strError; }

    // The next byte; false (and 0) at the end of the file.
    bool ReadByte(unsigned char& by);
    // The next character of a UTF-16 or UTF-8 file; malformed input gives
    // U+FFFD.
    bool ReadChar(char32_t& ch);
    // The next line without its line end; false when there is none. The line
    // end that stopped the previous line is consumed first, so an empty
    // first line of the file is lost.
    bool ReadLine(CString& strLine);
    // Every remaining line, each followed by lpszSep unless the file ended
    // inside it. False, with strText unchanged, when the file is not open or
    // a read fails.
    bool ReadAll(CString& strText, const CString& lpszSep);

    // Reading a file without a byte-order mark in pieces, on several
    // threads at once: FindPieceStart and ReadJoinedRange may be called from
    // any thread, also while one thread asks IsUtf8Text, and they leave the
    // reader's position alone.
    //
    // Whether the bytes are taken as UTF-8 (else as Windows-1252).
    bool IsUtf8Text() { return AnsiIsUtf8(); }
    // Where the piece that starts at or after nNominal begins: just after
    // the first line end (CR LF, CR or LF) at or after nNominal, or at the
    // end of the file. 0 for 0.
    std::uint64_t FindPieceStart(std::uint64_t nNominal, std::vector<char>& block,
                                 CString& strError);
    // The offset of the first byte that is not a CR or an LF: where the
    // text that CLineArray::LoadJoined gives begins.
    std::uint64_t FindTextStart(std::vector<char>& block, CString& strError);
    // The text of the bytes from nStart to nEnd, which start the file or
    // follow a line end, as ReadAll with CR LF would give it for bUtf8 as
    // IsUtf8Text says; bAscii tells whether every byte was below 0x80, when
    // both readings agree. strRaw is a buffer for the bytes; both buffers
    // are reused from call to call.
    bool ReadJoinedRange(std::uint64_t nStart, std::uint64_t nEnd, bool bUtf8, CString& strRaw,
                         CString& strOut, bool& bAscii, CString& strError);

    void Close() override;

private:
    // Larger than the classic 1024 bytes so that big files cost few reads;
    // the results do not depend on it.
    static constexpr int kBufferSize = 64 * 1024;

    void DetectEncoding();
    // Whether a file without a mark is well-formed UTF-8; decided on first
    // need, from the whole file.
    bool AnsiIsUtf8();
    bool ReadAllAnsi(CString& strText, const CString& lpszSep);
    void Rewind();
    bool FillBuffer();
    char32_t NextChar();           // ReadByte or ReadChar, by encoding
    bool ReadUnit(char16_t& unit); // one UTF-16 code unit
    void AppendChar(CString& strLine, char32_t ch);
    void PushBack(char32_t ch);

    CFile m_file;
    CString m_strPath;
    CString m_strError;
    int m_nEncoding = ANSI;
    int m_nAnsiIsUtf8 = -1;   // -1 not yet known, else 0 or 1
    bool m_bConsumed = false; // a byte of the text has been read
    bool m_bEOF = false;
    bool m_bReadFailed = false;
    std::vector<unsigned char> m_byBuffer;
    int m_nBufPos = -1;  // index of the byte returned last; -1 when empty
    int m_nBufCount = 0; // valid bytes in the buffer
    bool m_bPushedBack = false;
    char32_t m_chPushedBack = 0;
    // A byte or code unit that ended a malformed sequence and starts the next.
    bool m_bPendingByte = false;
    unsigned char m_byPending = 0;
    bool m_bPendingUnit = false;
    char16_t m_unitPending = 0;
};
