#include "TempFile.h"

#include "Path.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The registered files, in slots a signal handler can read without locks
// or allocation: a slot's path is complete before it is marked used.
constexpr size_t kSlots = 64;
struct CSlot
{
    std::atomic<bool> bUsed{false};
    char szPath[PATH_MAX];
};
CSlot g_slots[kSlots];

void RemoveRegisteredAndEnd(int nSignal)
{
    for (CSlot& slot : g_slots) {
        if (slot.bUsed.load(std::memory_order_acquire))
            ::unlink(slot.szPath);
    }
    ::signal(nSignal, SIG_DFL);
    ::raise(nSignal);
}

} // namespace

void RemoveOnSignal(const CString& strPath)
{
    if (strPath.size() >= PATH_MAX)
        return;
    static std::mutex mutex;
    const std::lock_guard<std::mutex> lock(mutex);
    for (CSlot& slot : g_slots) {
        if (!slot.bUsed.load(std::memory_order_relaxed)) {
            std::memcpy(slot.szPath, strPath.c_str(), strPath.size() + 1);
            slot.bUsed.store(true, std::memory_order_release);
            return;
        }
    }
}

void LetGoOnSignal(const CString& strPath)
{
    for (CSlot& slot : g_slots) {
        if (slot.bUsed.load(std::memory_order_acquire) && strPath == slot.szPath) {
            slot.bUsed.store(false, std::memory_order_release);
            return;
        }
    }
}

void InstallSignalCleanup()
{
    for (const int nSignal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction action
        {};
        action.sa_handler = &RemoveRegisteredAndEnd;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        ::sigaction(nSignal, &action, nullptr);
    }
}

CString ResolveLinks(const CString& strPath)
{
    // As the system does, a chain of more links than this is a loop.
    constexpr int kMaxLinks = 40;
    CString strCurrent = strPath;
    std::vector<char> buffer(PATH_MAX + 1);
    for (int i = 0; i < kMaxLinks; ++i) {
        const ssize_t n = ::readlink(strCurrent.c_str(), buffer.data(), buffer.size() - 1);
        if (n < 0)
            return strCurrent;
        const CString strTarget(buffer.data(), static_cast<size_t>(n));
        strCurrent = !strTarget.empty() && strTarget[0] == '/'
            ? strTarget
            : CString(path::Folder(strCurrent)) + strTarget;
    }
    return strCurrent;
}

int CreateTempBeside(const CString& strTarget, CString& strTempPath)
{
    const CString strName(path::FileName(strTarget));
    CString strTemplate = CString(path::Folder(strTarget)) + "." + strName + ".XXXXXX";
    std::vector<char> buffer(strTemplate.begin(), strTemplate.end());
    buffer.push_back('\0');
    const int fd = ::mkstemp(buffer.data());
    if (fd < 0)
        return -1;
    strTempPath = buffer.data();
    RemoveOnSignal(strTempPath);
    // mkstemp makes the file private; give it the mode a new file would get,
    // or the mode of the file it replaces.
    mode_t nMode = 0;
    struct stat stTarget
    {};
    if (::stat(strTarget.c_str(), &stTarget) == 0) {
        nMode = stTarget.st_mode & 07777;
    } else {
        const mode_t nMask = ::umask(0);
        ::umask(nMask);
        nMode = 0666 & ~nMask;
    }
    ::fchmod(fd, nMode);
    return fd;
}

int CreateAnonymousFile(CString& strPath)
{
    const char* pszDir = std::getenv("TMPDIR");
    CString strDir = pszDir != nullptr && *pszDir != '\0' ? CString(pszDir) : CString("/tmp");
    if (strDir.back() != '/')
        strDir += '/';
    CString strTemp;
    const int fd = CreateTempBeside(strDir + "korvane-spool", strTemp);
    if (fd < 0)
        return -1;
    ::unlink(strTemp.c_str());
    LetGoOnSignal(strTemp);
    strPath = "/proc/self/fd/" + std::to_string(fd);
    return fd;
}
