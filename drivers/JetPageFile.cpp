#include "JetPageFile.h"

#include "framework/Database.h"
#include "framework/File.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

// Pages moved per call when the scratch file is copied into the database.
constexpr uint32_t kCopyPages = 256;

uint64_t PageOffset(uint32_t nPage) { return uint64_t{nPage} * jet::kPageSize; }

} // namespace

CJetPageFile::~CJetPageFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void CJetPageFile::Create(const CString& strPath)
{
    m_strPath = strPath;
    m_bScratch = false;
    m_fd = ::open(strPath.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (m_fd < 0)
        Fail("create", errno);
}

void CJetPageFile::CreateScratch()
{
    const char* pszDir = std::getenv("TMPDIR");
    m_strPath = pszDir != nullptr && *pszDir != '\0' ? CString(pszDir) : CString("/tmp");
    m_bScratch = true;
    m_fd = ::open(m_strPath.c_str(), O_RDWR | O_TMPFILE | O_CLOEXEC, 0600);
    if (m_fd >= 0)
        return;
    // A file system without unnamed files: a named one, removed at once.
    CString strTemplate = m_strPath + "/korvane-mdb-XXXXXX";
    m_fd = ::mkostemp(strTemplate.data(), O_CLOEXEC);
    if (m_fd < 0)
        Fail("create", errno);
    ::unlink(strTemplate.c_str());
}

void CJetPageFile::WritePage(uint32_t nPage, const CJetPage& page)
{
    if (!WriteFullyAt(m_fd, page.Data(), jet::kPageSize, PageOffset(nPage)))
        Fail("write", errno);
}

void CJetPageFile::ReadPage(uint32_t nPage, CJetPage& page) const
{
    const ssize_t n = ReadFullyAt(m_fd, page.Data(), jet::kPageSize, PageOffset(nPage));
    if (n != static_cast<ssize_t>(jet::kPageSize))
        Fail("read", n < 0 ? errno : EIO);
}

void CJetPageFile::CopyPages(const CJetPageFile& source, uint32_t nFrom, uint32_t nCount,
                             uint32_t nTo)
{
    std::vector<CJetPage> pages(std::min(nCount, kCopyPages));
    for (uint32_t nDone = 0; nDone < nCount;) {
        const uint32_t nStep = std::min(nCount - nDone, kCopyPages);
        for (uint32_t i = 0; i < nStep; ++i)
            source.ReadPage(nFrom + nDone + i, pages[i]);
        for (uint32_t i = 0; i < nStep; ++i)
            WritePage(nTo + nDone + i, pages[i]);
        nDone += nStep;
    }
}

void CJetPageFile::Close()
{
    if (m_fd < 0)
        return;
    const int fd = m_fd;
    m_fd = -1;
    // The export moves the file into place next: its pages must be on the
    // disk before the name is.
    if (!m_bScratch && ::fsync(fd) != 0 && errno != EINVAL) {
        const int nErrno = errno;
        ::close(fd);
        Fail("write", nErrno);
    }
    if (::close(fd) != 0 && !m_bScratch)
        Fail("write", errno);
}

void CJetPageFile::Discard() noexcept
{
    if (m_fd < 0)
        return;
    if (!m_bScratch)
        (void)::ftruncate(m_fd, 0);
    ::close(m_fd);
    m_fd = -1;
}

void CJetPageFile::Fail(const CString& strDoing, int nErrno) const
{
    const CString strWhat =
        m_bScratch ? "a temporary file in \"" + m_strPath + "\"" : "\"" + m_strPath + "\"";
    throw CDatabaseException("[" + m_strDriver + "] Cannot " + strDoing + " " + strWhat + ": " +
                                 ErrnoText(nErrno),
                             "HY000");
}
