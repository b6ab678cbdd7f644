#include "File.h"

#include "Messages.h"
#include "TestHook.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CString ErrnoText(int nErrno) { return CString(std::strerror(nErrno)); }

namespace {

// Moves bytes until nCount are done or a move gives none (the end of a
// file being read); move(nDone, nWant) moves once, as read(2) or write(2)
// does. -1, with errno set, when a move fails.
template <class FMove>
ssize_t MoveFully(size_t nCount, FMove move)
{
    size_t nDone = 0;
    while (nDone < nCount) {
        const ssize_t n = move(nDone, nCount - nDone);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        nDone += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(nDone);
}

// Whether a write of nCount bytes moved them all; one that stopped short
// without an error sets errno to EIO.
bool WroteAll(ssize_t nDone, size_t nCount)
{
    if (nDone < 0)
        return false;
    if (static_cast<size_t>(nDone) < nCount) {
        errno = EIO;
        return false;
    }
    return true;
}

} // namespace

bool WriteFully(int fd, const void* pBytes, size_t nCount)
{
    const auto* pIn = static_cast<const char*>(pBytes);
    const ssize_t n = MoveFully(
        nCount, [&](size_t nDone, size_t nWant) { return ::write(fd, pIn + nDone, nWant); });
    return WroteAll(n, nCount);
}

bool WriteFullyAt(int fd, const void* pBytes, size_t nCount, std::uint64_t nOffset)
{
    const auto* pIn = static_cast<const char*>(pBytes);
    const ssize_t n = MoveFully(nCount, [&](size_t nDone, size_t nWant) {
        return ::pwrite(fd, pIn + nDone, nWant, static_cast<off_t>(nOffset + nDone));
    });
    return WroteAll(n, nCount);
}

ssize_t ReadFully(int fd, void* pBuffer, size_t nCount)
{
    auto* pOut = static_cast<char*>(pBuffer);
    return MoveFully(nCount,
                     [&](size_t nDone, size_t nWant) { return ::read(fd, pOut + nDone, nWant); });
}

ssize_t ReadFullyAt(int fd, void* pBuffer, size_t nCount, std::uint64_t nOffset)
{
    auto* pOut = static_cast<char*>(pBuffer);
    return MoveFully(nCount, [&](size_t nDone, size_t nWant) {
        return ::pread(fd, pOut + nDone, nWant, static_cast<off_t>(nOffset + nDone));
    });
}

CFileException::CFileException(const CString& strPath, int nErrno, const CString& strDoing)
    : CUserException(msg::CannotDo(strDoing, strPath, ErrnoText(nErrno))), m_nErrno(nErrno)
{}

CFile::~CFile() { Abort(); }

bool CFile::Open(const CString& strPath, unsigned nFlags, CString* pError)
{
    Abort();
    int nOpen = O_CLOEXEC;
    if (nFlags & modeReadWrite)
        nOpen |= O_RDWR;
    else if (nFlags & modeWrite)
        nOpen |= O_WRONLY;
    else
        nOpen |= O_RDONLY;
    if (nFlags & modeCreate) {
        nOpen |= O_CREAT;
        if (!(nFlags & modeNoTruncate))
            nOpen |= O_TRUNC;
    }
    const int fd = ::open(strPath.c_str(), nOpen, 0666);
    if (fd < 0) {
        if (pError != nullptr)
            *pError = ErrnoText(errno);
        return false;
    }
    struct stat st
    {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        if (pError != nullptr)
            *pError = ErrnoText(EISDIR);
        return false;
    }
    m_fd = fd;
    m_strPath = strPath;
    return true;
}

size_t CFile::Read(void* pBuffer, size_t nCount)
{
    const ssize_t n = ReadFully(m_fd, pBuffer, nCount);
    if (n < 0)
        throw CFileException(m_strPath, errno, "read");
    return static_cast<size_t>(n);
}

size_t CFile::ReadAt(std::uint64_t nOffset, void* pBuffer, size_t nCount)
{
    const ssize_t n = ReadFullyAt(m_fd, pBuffer, nCount, nOffset);
    if (n < 0)
        throw CFileException(m_strPath, errno, "read");
    return static_cast<size_t>(n);
}

void CFile::Write(const void* pBuffer, size_t nCount)
{
    if (!WriteFully(m_fd, pBuffer, nCount))
        throw CFileException(m_strPath, errno, "write");
    testhook::Wrote(nCount);
}

std::uint64_t CFile::Seek(std::int64_t nOffset, int nFrom)
{
    const off_t nPos = ::lseek(m_fd, static_cast<off_t>(nOffset), nFrom);
    if (nPos < 0)
        throw CFileException(m_strPath, errno, "seek in");
    return static_cast<std::uint64_t>(nPos);
}

std::uint64_t CFile::GetLength() const
{
    struct stat st
    {};
    if (::fstat(m_fd, &st) != 0)
        throw CFileException(m_strPath, errno, "read the length of");
    return static_cast<std::uint64_t>(st.st_size);
}

void CFile::SetLength(std::uint64_t nLength)
{
    if (::ftruncate(m_fd, static_cast<off_t>(nLength)) != 0)
        throw CFileException(m_strPath, errno, "set the length of");
}

void CFile::Flush()
{
    if (::fsync(m_fd) != 0 && errno != EINVAL)
        throw CFileException(m_strPath, errno, "write");
}

void CFile::Close()
{
    if (m_fd < 0)
        return;
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR)
        throw CFileException(m_strPath, errno, "close");
}

void CFile::Abort() noexcept
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}
