#include "TempFileBeside.h"

#include "framework/File.h"
#include "framework/Messages.h"
#include "framework/Path.h"
#include "framework/TempFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

bool CTempFileBeside::Fail(int nErrno)
{
    m_strError = msg::CannotWrite(m_strTarget, ErrnoText(nErrno));
    Discard();
    return false;
}

bool CTempFileBeside::Create()
{
    Discard();
    m_strTarget = ResolveLinks(m_strTarget);
    struct stat stTarget
    {};
    const bool bExists = ::stat(m_strTarget.c_str(), &stTarget) == 0;
    if ((bExists && S_ISDIR(stTarget.st_mode)) || path::FileName(m_strTarget).empty())
        return Fail(EISDIR);
    m_bCopy = bExists && !S_ISREG(stTarget.st_mode);
    // A device or a pipe cannot be replaced: the new file is made in the
    // temporary folder and copied into it.
    CString strBeside = m_strTarget;
    if (m_bCopy) {
        const char* pszDir = std::getenv("TMPDIR");
        CString strFolder =
            pszDir != nullptr && *pszDir != '\0' ? CString(pszDir) : CString("/tmp");
        if (strFolder.back() != '/')
            strFolder += '/';
        strBeside = strFolder + CString(path::FileName(m_strTarget));
    }
    const int fd = CreateTempBeside(strBeside, m_strPath);
    if (fd < 0)
        return Fail(errno);
    if (::close(fd) != 0)
        return Fail(errno);
    return true;
}

bool CTempFileBeside::CopyIntoTarget()
{
    const int fdIn = ::open(m_strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fdIn < 0)
        return Fail(errno);
    const int fdOut = ::open(m_strTarget.c_str(), O_WRONLY | O_CLOEXEC);
    if (fdOut < 0) {
        const int nErrno = errno;
        ::close(fdIn);
        return Fail(nErrno);
    }
    std::vector<char> buffer(size_t{1} << 16);
    int nErrno = 0;
    for (;;) {
        const ssize_t n = ::read(fdIn, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            nErrno = n < 0 ? errno : 0;
            break;
        }
        if (!WriteFully(fdOut, buffer.data(), static_cast<size_t>(n))) {
            nErrno = errno;
            break;
        }
    }
    ::close(fdIn);
    if (::close(fdOut) != 0 && nErrno == 0)
        nErrno = errno;
    if (nErrno != 0)
        return Fail(nErrno);
    Discard();
    return true;
}

bool CTempFileBeside::Commit(bool bSync)
{
    if (m_strPath.empty()) {
        if (m_strError.empty())
            m_strError = msg::CannotWrite(m_strTarget, "the file is not open");
        return false;
    }
    if (m_bCopy)
        return CopyIntoTarget();
    if (bSync) {
        const int fd = ::open(m_strPath.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return Fail(errno);
        const bool bSynced = ::fsync(fd) == 0 || errno == EINVAL;
        const int nErrno = errno;
        ::close(fd);
        if (!bSynced)
            return Fail(nErrno);
    }
    if (::rename(m_strPath.c_str(), m_strTarget.c_str()) != 0)
        return Fail(errno);
    LetGoOnSignal(m_strPath);
    m_strPath.clear();
    return true;
}

void CTempFileBeside::Discard() noexcept
{
    if (!m_strPath.empty()) {
        ::unlink(m_strPath.c_str());
        LetGoOnSignal(m_strPath);
        m_strPath.clear();
    }
}
