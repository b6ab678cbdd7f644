#pragma once
// Where writers put their bytes: a string, or a file that replaces its
// target only when it is complete.

#include "StringTypes.h"

#include <cstdint>
#include <future>
#include <string_view>

class ISink
{
public:
    virtual ~ISink() = default;
    // False when the bytes could not be stored; GetError then says why.
    virtual bool Write(std::string_view bytes) = 0;
    virtual CString GetError() const = 0;
};

class CStringSink final : public ISink
{
public:
    bool Write(std::string_view bytes) override
    {
        m_strText.append(bytes);
        return true;
    }
    CString GetError() const override { return {}; }
    const CString& GetText() const { return m_strText; }

private:
    CString m_strText;
};

// Gathers small writes into large ones for another sink; in text mode every
// LF is written as CR LF, as a file opened in text mode stores it.
class CBufferedSink final : public ISink
{
public:
    // With bBackground the target is written by a second thread while the
    // next buffer fills; the target must not be used by anyone else until
    // Flush has returned.
    explicit CBufferedSink(ISink& target, bool bTextMode = false, size_t nBuffer = 1 << 20,
                           bool bBackground = false);
    ~CBufferedSink() override;
    CBufferedSink(const CBufferedSink&) = delete;
    CBufferedSink& operator=(const CBufferedSink&) = delete;

    bool Write(std::string_view bytes) override;
    bool Put(char ch)
    {
        if (ch == '\n' && m_bTextMode)
            m_strBuffer.push_back('\r');
        m_strBuffer.push_back(ch);
        return m_strBuffer.size() < m_nBuffer || HandOver();
    }
    // Writes everything gathered to the target and waits until it is
    // written; false once any write failed.
    bool Flush();
    CString GetError() const override { return m_target.GetError(); }

private:
    // Passes the full buffer on: written at once, or by the background
    // thread after the previous buffer is done.
    bool HandOver();
    void WaitForWriter();

    ISink& m_target;
    bool m_bTextMode;
    size_t m_nBuffer;
    bool m_bBackground;
    bool m_bFailed = false;
    CString m_strBuffer;
    CString m_strWriting; // the buffer the background thread writes
    std::future<bool> m_writing;
};

// Writes to a temporary file beside the target and renames it over the
// target on Commit, so an existing file is replaced only by a complete new
// one. A file that is not committed is removed by the destructor. A
// symbolic link is followed to the file it names; a device or a pipe is
// written in place.
//
// With bSync, Commit waits until the bytes are on the disk before the
// rename, as a save from the window does. Without it (the command-line
// program, like other command-line tools) the target is still replaced
// only by the complete file, and the bytes reach the disk by the system's
// usual write-back.
class CAtomicFileSink final : public ISink
{
public:
    explicit CAtomicFileSink(CString strPath, bool bSync = true);
    ~CAtomicFileSink() override;
    CAtomicFileSink(const CAtomicFileSink&) = delete;
    CAtomicFileSink& operator=(const CAtomicFileSink&) = delete;

    // Creates the temporary file; false with GetError on failure.
    bool Open();
    bool Write(std::string_view bytes) override;
    // Flushes, closes and renames; false with GetError on failure, in which
    // case the target is untouched.
    bool Commit();
    CString GetError() const override { return m_strError; }

private:
    void Discard() noexcept;
    // Sets the error: the target's path and the reason.
    void FailWith(const CString& strReason);

    CString m_strPath;
    CString m_strTempPath;
    CString m_strError;
    int m_fd = -1;
    static constexpr std::uint64_t kFlushStep = std::uint64_t{8} << 20;
    bool m_bSync;
    bool m_bInPlace = false; // a device or pipe, written directly
    std::uint64_t m_nWritten = 0;
    std::uint64_t m_nFlushed = 0; // bytes whose write-back has been started
};

// Writes bytes to a file through a CAtomicFileSink; false with strError set
// (naming the file and the reason) when anything fails.
bool WriteFileAtomically(const CString& strPath, std::string_view bytes, CString& strError);
