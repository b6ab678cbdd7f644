#include "Sink.h"

#include "File.h"
#include "Messages.h"
#include "Path.h"
#include "StringUtil.h"
#include "TempFile.h"
#include "TestHook.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

CBufferedSink::CBufferedSink(ISink& target, bool bTextMode, size_t nBuffer, bool bBackground)
    : m_target(target), m_bTextMode(bTextMode), m_nBuffer(nBuffer), m_bBackground(bBackground)
{
    m_strBuffer.reserve(nBuffer + nBuffer / 8 + 16);
}

CBufferedSink::~CBufferedSink() { WaitForWriter(); }

void CBufferedSink::WaitForWriter()
{
    if (m_writing.valid() && !m_writing.get())
        m_bFailed = true;
}

bool CBufferedSink::HandOver()
{
    WaitForWriter();
    if (!m_bFailed && !m_strBuffer.empty()) {
        if (m_bBackground) {
            m_strWriting.swap(m_strBuffer);
            m_writing =
                std::async(std::launch::async, [this] { return m_target.Write(m_strWriting); });
        } else {
            m_bFailed = !m_target.Write(m_strBuffer);
        }
    }
    m_strBuffer.clear();
    if (m_strBuffer.capacity() < m_nBuffer)
        m_strBuffer.reserve(m_nBuffer + m_nBuffer / 8 + 16);
    return !m_bFailed;
}

bool CBufferedSink::Write(std::string_view bytes)
{
    if (m_bTextMode)
        str::AppendTextMode(m_strBuffer, bytes);
    else
        m_strBuffer.append(bytes);
    return m_strBuffer.size() < m_nBuffer || HandOver();
}

bool CBufferedSink::Flush()
{
    HandOver();
    WaitForWriter();
    return !m_bFailed;
}

CAtomicFileSink::CAtomicFileSink(CString strPath, bool bSync)
    : m_strPath(std::move(strPath)), m_bSync(bSync)
{}

CAtomicFileSink::~CAtomicFileSink() { Discard(); }

void CAtomicFileSink::Discard() noexcept
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_strTempPath.empty()) {
        ::unlink(m_strTempPath.c_str());
        LetGoOnSignal(m_strTempPath);
        m_strTempPath.clear();
    }
}

bool CAtomicFileSink::Open()
{
    Discard();
    // Write through a symbolic link to the file it names.
    m_strPath = ResolveLinks(m_strPath);
    // A device or a pipe cannot be replaced; it is written in place.
    struct stat stExisting
    {};
    if (::stat(m_strPath.c_str(), &stExisting) == 0 && !S_ISREG(stExisting.st_mode) &&
        !S_ISDIR(stExisting.st_mode)) {
        const int fd = ::open(m_strPath.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) {
            FailWith(ErrnoText(errno));
            return false;
        }
        m_fd = fd;
        m_bInPlace = true;
        return true;
    }
    const CString strName(path::FileName(m_strPath));
    if (strName.empty()) {
        FailWith(ErrnoText(EISDIR));
        return false;
    }
    struct stat stTarget
    {};
    if (::stat(m_strPath.c_str(), &stTarget) == 0 && S_ISDIR(stTarget.st_mode)) {
        FailWith(ErrnoText(EISDIR));
        return false;
    }
    m_fd = CreateTempBeside(m_strPath, m_strTempPath);
    if (m_fd < 0) {
        FailWith(ErrnoText(errno));
        return false;
    }
    return true;
}

bool CAtomicFileSink::Write(std::string_view bytes)
{
    if (m_fd < 0) {
        if (m_strError.empty())
            FailWith("the file is not open");
        return false;
    }
    if (!WriteFully(m_fd, bytes.data(), bytes.size())) {
        FailWith(ErrnoText(errno));
        Discard();
        return false;
    }
    m_nWritten += bytes.size();
    testhook::Wrote(bytes.size());
    if (!m_bInPlace && m_nWritten - m_nFlushed >= kFlushStep) {
        // The bytes written so far start on their way to the disk now, a
        // step at a time, instead of all at once when the rename replaces
        // the target (which makes the file system place them first).
        ::sync_file_range(m_fd, static_cast<off_t>(m_nFlushed),
                          static_cast<off_t>(m_nWritten - m_nFlushed), SYNC_FILE_RANGE_WRITE);
        m_nFlushed = m_nWritten;
    }
    return true;
}

bool CAtomicFileSink::Commit()
{
    if (m_fd < 0) {
        if (m_strError.empty())
            FailWith("the file is not open");
        return false;
    }
    if (m_bInPlace) {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0) {
            FailWith(ErrnoText(errno));
            return false;
        }
        return true;
    }
    if (m_bSync && ::fsync(m_fd) != 0 && errno != EINVAL) {
        FailWith(ErrnoText(errno));
        Discard();
        return false;
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        FailWith(ErrnoText(errno));
        Discard();
        return false;
    }
    if (::rename(m_strTempPath.c_str(), m_strPath.c_str()) != 0) {
        FailWith(ErrnoText(errno));
        Discard();
        return false;
    }
    LetGoOnSignal(m_strTempPath);
    m_strTempPath.clear();
    return true;
}

void CAtomicFileSink::FailWith(const CString& strReason)
{
    m_strError = msg::CannotWrite(m_strPath, strReason);
}

bool WriteFileAtomically(const CString& strPath, std::string_view bytes, CString& strError)
{
    CAtomicFileSink sink(strPath);
    if (!sink.Open() || !sink.Write(bytes) || !sink.Commit()) {
        strError = sink.GetError();
        return false;
    }
    return true;
}
