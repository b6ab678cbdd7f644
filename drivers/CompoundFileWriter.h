#pragma once
// A compound document (the structured storage container of Office 97-2003
// files) in version 3, with 512-byte sectors, holding one stream under its
// root storage: all that a workbook file needs.
//
// The stream's size is given first; the header, the allocation tables and
// the directory go out at once, then the stream's bytes as they come, so
// that a large stream is never held whole. A stream below the mini-stream
// cutoff (4,096 bytes) is stored in the mini stream, as readers expect.

#include "framework/StringTypes.h"

#include <cstdint>
#include <string_view>

class CFile;

class CCompoundFileWriter
{
public:
    // The largest stream written, so that the whole file with its tables
    // stays below 2 GiB, the most that readers of version 3 files take.
    static constexpr std::uint64_t kMaxStreamSize = 0x7F000000;

    // Writes to file, which must be open for writing at its start.
    explicit CCompoundFileWriter(CFile& file) : m_file(file) {}
    CCompoundFileWriter(const CCompoundFileWriter&) = delete;
    CCompoundFileWriter& operator=(const CCompoundFileWriter&) = delete;

    // Writes the header, the tables and the directory for one stream named
    // strName (ASCII, at most 31 characters) of nSize bytes (at most
    // kMaxStreamSize). Throws CFileException when the file cannot be written.
    void Begin(const CString& strName, std::uint64_t nSize);

    // Writes the next bytes of the stream. Throws CFileException.
    void Write(std::string_view bytes);

    // Fills the last sector. Throws CFileException; throws std::logic_error
    // when the stream's bytes did not add up to the size given to Begin.
    void End();

private:
    void Flush();
    void Put(std::string_view bytes);

    CFile& m_file;
    CString m_strBuffer;
    std::uint64_t m_nStreamSize = 0;
    std::uint64_t m_nWritten = 0;
    std::uint64_t m_nSectorBytes = 0; // the data sectors' size, padding included
};
