#include "TempExportFile.h"

#include "framework/File.h"
#include "framework/Messages.h"
#include "framework/Sink.h"
#include "framework/TempFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

bool CTempExportFile::Create(const CString& strExtension, CString& strError)
{
    const char* pszDir = std::getenv("TMPDIR");
    CString strDir = pszDir != nullptr && *pszDir != '\0' ? CString(pszDir) : CString("/tmp");
    if (strDir.back() != '/')
        strDir += '/';
    const CString strSuffix = ".tmp";
    for (int nTry = 0; nTry < 100; ++nTry) {
        const CString strTemplate = strDir + "MyEXXXXXX" + strSuffix;
        std::vector<char> name(strTemplate.begin(), strTemplate.end());
        name.push_back('\0');
        const int fd = ::mkstemps(name.data(), static_cast<int>(strSuffix.size()));
        if (fd < 0) {
            strError = "Cannot create a temporary file in \"" + strDir + "\": " + ErrnoText(errno);
            return false;
        }
        ::close(fd);
        m_strReserved = name.data();
        // Only the name's own ".tmp" changes; the folder may hold one too.
        const CString strPath =
            m_strReserved.substr(0, m_strReserved.size() - strSuffix.size()) + strExtension;
        struct stat st
        {};
        if (::lstat(strPath.c_str(), &st) != 0 && errno == ENOENT) {
            m_strPath = strPath;
            RemoveOnSignal(m_strReserved);
            RemoveOnSignal(m_strPath);
            return true;
        }
        // Someone else's file has that name; it must not be touched.
        ::unlink(m_strReserved.c_str());
        m_strReserved.clear();
    }
    strError = "Cannot create a temporary file in \"" + strDir + "\": " + ErrnoText(EEXIST);
    return false;
}

void CTempExportFile::Release()
{
    LetGoOnSignal(m_strPath);
    m_strPath.clear();
}

void CTempExportFile::Remove() noexcept
{
    if (!m_strPath.empty()) {
        ::unlink(m_strPath.c_str());
        LetGoOnSignal(m_strPath);
    }
    if (!m_strReserved.empty()) {
        ::unlink(m_strReserved.c_str());
        LetGoOnSignal(m_strReserved);
    }
    m_strPath.clear();
    m_strReserved.clear();
}

bool MoveReplacing(const CString& strFrom, CString strTo, CString& strError)
{
    // Save As writes through a symbolic link to the file it names.
    strTo = ResolveLinks(strTo);
    if (::rename(strFrom.c_str(), strTo.c_str()) == 0)
        return true;
    if (errno != EXDEV) {
        strError = msg::CannotWrite(strTo, ErrnoText(errno));
        return false;
    }
    CFile in;
    CString strReason;
    if (!in.Open(strFrom, CFile::modeRead, &strReason)) {
        strError = msg::CannotRead(strFrom, strReason);
        return false;
    }
    CAtomicFileSink sink(strTo);
    if (!sink.Open()) {
        strError = sink.GetError();
        return false;
    }
    try {
        std::vector<char> buffer(1 << 20);
        for (;;) {
            const size_t nRead = in.Read(buffer.data(), buffer.size());
            if (nRead == 0)
                break;
            if (!sink.Write(std::string_view(buffer.data(), nRead))) {
                strError = sink.GetError();
                return false;
            }
        }
    } catch (const CFileException& e) {
        strError = e.GetErrorMessage();
        return false;
    }
    if (!sink.Commit()) {
        strError = sink.GetError();
        return false;
    }
    ::unlink(strFrom.c_str());
    return true;
}
