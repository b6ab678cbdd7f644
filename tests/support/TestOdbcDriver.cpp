// A test-only ODBC driver that stands in front of the SQLite ODBC driver so
// that the spreadsheet and database exports can run end to end.
//
// The SQLite driver takes its file from "Database=" only and has no setup
// entry, so this library adds two entries of its own: SQLDriverConnect
// copies the "DBQ=" value of the connection string into "Database=" and
// hands on to the SQLite driver, and ConfigDSN creates the empty file that
// the "CREATE_DB=" attribute names. The SQLite driver is a needed library
// of this one, so the driver manager finds every other entry through it.

#include <odbcinst.h>
#include <sql.h>
#include <sqlext.h>

#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

using FDriverConnect = SQLRETURN (*)(SQLHDBC, SQLHWND, SQLCHAR*, SQLSMALLINT, SQLCHAR*, SQLSMALLINT,
                                     SQLSMALLINT*, SQLUSMALLINT);

// The value of a "KEY=value" attribute of a connection string, or npos.
std::string::size_type FindValue(const std::string& strText, const char* pszKey,
                                 std::string::size_type& nEnd)
{
    const std::string strKey = pszKey;
    std::string::size_type nPos = 0;
    while (nPos < strText.size()) {
        const std::string::size_type nNext = strText.find(';', nPos);
        const std::string::size_type nStop = nNext == std::string::npos ? strText.size() : nNext;
        if (strncasecmp(strText.c_str() + nPos, strKey.c_str(), strKey.size()) == 0 &&
            nPos + strKey.size() <= nStop) {
            nEnd = nStop;
            return nPos + strKey.size();
        }
        nPos = nStop + 1;
    }
    return std::string::npos;
}

} // namespace

extern "C" {

SQLRETURN SQL_API SQLDriverConnect(SQLHDBC hDbc, SQLHWND hWnd, SQLCHAR* pszIn, SQLSMALLINT nIn,
                                   SQLCHAR* pszOut, SQLSMALLINT nOutMax, SQLSMALLINT* pnOut,
                                   SQLUSMALLINT nCompletion)
{
    std::string strConnect = nIn == SQL_NTS
        ? std::string(reinterpret_cast<const char*>(pszIn))
        : std::string(reinterpret_cast<const char*>(pszIn), static_cast<size_t>(nIn));
    std::string::size_type nEnd = 0;
    const std::string::size_type nValue = FindValue(strConnect, "DBQ=", nEnd);
    if (nValue != std::string::npos)
        strConnect += ";Database=" + strConnect.substr(nValue, nEnd - nValue);
    // The SQLite driver is already loaded as a needed library; look the entry
    // up in it, not in this library.
    void* pReal = dlopen(KORVANE_SQLITE_ODBC_DRIVER, RTLD_LAZY | RTLD_NOLOAD);
    if (pReal == nullptr)
        return SQL_ERROR;
    const auto pfnConnect = reinterpret_cast<FDriverConnect>(dlsym(pReal, "SQLDriverConnect"));
    dlclose(pReal);
    if (pfnConnect == nullptr)
        return SQL_ERROR;
    std::string strCopy = strConnect;
    return pfnConnect(hDbc, hWnd, reinterpret_cast<SQLCHAR*>(strCopy.data()), SQL_NTS, pszOut,
                      nOutMax, pnOut, nCompletion);
}

BOOL INSTAPI ConfigDSN(HWND /*hWnd*/, WORD nRequest, LPCSTR /*pszDriver*/, LPCSTR pszAttributes)
{
    if (nRequest != ODBC_ADD_DSN || pszAttributes == nullptr)
        return 0;
    for (const char* p = pszAttributes; *p != '\0'; p += std::strlen(p) + 1) {
        std::string strAttribute = p;
        if (strncasecmp(strAttribute.c_str(), "CREATE_DB=", 10) != 0)
            continue;
        std::string strPath = strAttribute.substr(10);
        if (strPath.size() >= 2 && strPath.front() == '"' && strPath.back() == '"')
            strPath = strPath.substr(1, strPath.size() - 2);
        const int fd = ::open(strPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0)
            return 0;
        ::close(fd);
        return 1;
    }
    return 0;
}

} // extern "C"
