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

// Reads until nCount bytes are in or the end of the file is reached;
// readSome(pOut, nDone, nWant) reads once as read(2) does.
template <class FRead>
size_t ReadFully(const CString& strPath, void* pBuffer, size_t nCount, FRead readSome)
{
    auto* pOut = static_cast<char*>(pBuffer);
    size_t nDone = 0;
    while (nDone < nCount) {
        const ssize_t n = readSome(pOut + nDone, nDone, nCount - nDone);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw CFileException(strPath, errno, "read");
        }
        if (n == 0)
            break;
        nDone += static_cast<size_t>(n);
    }
    return nDone;
}

} // namespace

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
    return ReadFully(
        m_strPath, pBuffer, nCount,
        [this](char* pOut, size_t /*nDone*/, size_t nWant) { return ::read(m_fd, pOut, nWant); });
}

size_t CFile::ReadAt(std::uint64_t nOffset, void* pBuffer, size_t nCount)
{
    return ReadFully(m_strPath, pBuffer, nCount,
                     [this, nOffset](char* pOut, size_t nDone, size_t nWant) {
                         return ::pread(m_fd, pOut, nWant, static_cast<off_t>(nOffset + nDone));
                     });
}

void CFile::Write(const void* pBuffer, size_t nCount)
{
    const auto* pIn = static_cast<const char*>(pBuffer);
    size_t nDone = 0;
    while (nDone < nCount) {
        const ssize_t n = ::write(m_fd, pIn + nDone, nCount - nDone);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw CFileException(m_strPath, errno, "write");
        }
        nDone += static_cast<size_t>(n);
    }
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
