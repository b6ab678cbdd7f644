#include "SpoolFile.h"

#include "framework/File.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

CSpoolFile::~CSpoolFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void CSpoolFile::Open()
{
    const char* pszDir = std::getenv("TMPDIR");
    CString strDir = pszDir != nullptr && *pszDir != '\0' ? CString(pszDir) : CString("/tmp");
    if (strDir.back() != '/')
        strDir += '/';
    const CString strTemplate = strDir + "korvane-spool-XXXXXX";
    std::vector<char> name(strTemplate.begin(), strTemplate.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        throw CFileException(strDir, errno, "create a temporary file in");
    // Without a name the file goes with its last descriptor, even when the
    // process is killed.
    ::unlink(name.data());
    m_fd = fd;
    m_strName = name.data();
    m_strBuffer.reserve(kBufferSize);
}

void CSpoolFile::Append(std::string_view bytes)
{
    m_nSize += bytes.size();
    if (m_strBuffer.size() + bytes.size() > kBufferSize)
        FlushBuffer();
    m_strBuffer.append(bytes);
}

void CSpoolFile::FlushBuffer()
{
    if (!WriteFully(m_fd, m_strBuffer.data(), m_strBuffer.size()))
        throw CFileException(m_strName, errno, "write the temporary file");
    m_strBuffer.clear();
}

void CSpoolFile::ReadBack(const std::function<void(std::string_view)>& consume)
{
    FlushBuffer();
    std::vector<char> buffer(kBufferSize);
    std::uint64_t nAt = 0;
    for (;;) {
        const ssize_t n = ReadFullyAt(m_fd, buffer.data(), buffer.size(), nAt);
        if (n < 0)
            throw CFileException(m_strName, errno, "read the temporary file");
        if (n == 0)
            break;
        consume(std::string_view(buffer.data(), static_cast<size_t>(n)));
        nAt += static_cast<std::uint64_t>(n);
    }
}
