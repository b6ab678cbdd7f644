#pragma once
// Bytes that a file writer sets aside until it knows the layout around them:
// a temporary file without a name, so that it is gone whatever happens to
// the process, read back in order once.

#include "framework/StringTypes.h"

#include <cstdint>
#include <functional>
#include <string_view>

class CSpoolFile
{
public:
    CSpoolFile() = default;
    ~CSpoolFile();
    CSpoolFile(const CSpoolFile&) = delete;
    CSpoolFile& operator=(const CSpoolFile&) = delete;

    // Creates the file in the temporary folder ($TMPDIR, else /tmp) and
    // takes its name away at once. Throws CFileException naming the folder.
    void Open();

    bool IsOpen() const { return m_fd >= 0; }

    // Adds bytes at the end; they are gathered in a buffer of a fixed size.
    // Throws CFileException when they cannot be written.
    void Append(std::string_view bytes);

    // The number of bytes appended so far.
    std::uint64_t GetSize() const { return m_nSize; }

    // Hands every byte appended, in order and in pieces of at most a buffer,
    // to consume. Throws CFileException when the file cannot be read.
    void ReadBack(const std::function<void(std::string_view)>& consume);

private:
    void FlushBuffer();

    static constexpr size_t kBufferSize = size_t{1} << 16;
    int m_fd = -1;
    CString m_strName; // the name it had, for messages
    CString m_strBuffer;
    std::uint64_t m_nSize = 0;
};
