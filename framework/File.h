#pragma once
// Files of untranslated bytes, and the exception the file layer raises.
//
// Linux has no share modes that other programs must respect, so the share
// flags are accepted and not enforced.

#include "StringTypes.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <sys/types.h>

// A failed file or database operation. The command dispatcher shows its text.
class CUserException : public std::exception
{
public:
    explicit CUserException(CString strMessage) : m_strMessage(std::move(strMessage)) {}
    const char* what() const noexcept override { return m_strMessage.c_str(); }
    const CString& GetErrorMessage() const { return m_strMessage; }

private:
    CString m_strMessage;
};

class CFileException : public CUserException
{
public:
    CFileException(const CString& strPath, int nErrno, const CString& strDoing);
    int GetErrno() const { return m_nErrno; }

private:
    int m_nErrno;
};

class CFile
{
public:
    enum EOpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareDenyWrite = 0x0020,
        modeNoTruncate = 0x10000,
        modeCreate = 0x1000,
    };

    CFile() = default;
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens the file; false, with the reason in strError, when it cannot.
    bool Open(const CString& strPath, unsigned nFlags, CString* pError = nullptr);
    bool IsOpen() const { return m_fd >= 0; }
    const CString& GetFilePath() const { return m_strPath; }

    // These throw CFileException on failure.
    size_t Read(void* pBuffer, size_t nCount);
    // Reads at an offset without moving the file position.
    size_t ReadAt(std::uint64_t nOffset, void* pBuffer, size_t nCount);
    void Write(const void* pBuffer, size_t nCount);
    std::uint64_t Seek(std::int64_t nOffset, int nFrom);
    void SeekToBegin() { Seek(0, SEEK_SET); }
    std::uint64_t SeekToEnd() { return Seek(0, SEEK_END); }
    std::uint64_t GetLength() const;
    void SetLength(std::uint64_t nLength);
    void Flush();
    void Close();
    // Closes without raising; for destructors and cleanup.
    void Abort() noexcept;

private:
    int m_fd = -1;
    CString m_strPath;
};

// Text of errno, as strerror gives it.
CString ErrnoText(int nErrno);

// Reads and writes on a descriptor that go on after a short transfer or an
// interrupted call.
// Writes all nCount bytes (from nOffset on with WriteFullyAt); false, with
// errno set, when a write fails or writes nothing.
bool WriteFully(int fd, const void* pBytes, size_t nCount);
bool WriteFullyAt(int fd, const void* pBytes, size_t nCount, std::uint64_t nOffset);
// Reads until nCount bytes are in or the file ends (from nOffset on with
// ReadFullyAt) and gives how many came in; -1, with errno set, when a read
// fails.
ssize_t ReadFully(int fd, void* pBuffer, size_t nCount);
ssize_t ReadFullyAt(int fd, void* pBuffer, size_t nCount, std::uint64_t nOffset);
