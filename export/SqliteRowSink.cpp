#include "SqliteRowSink.h"

#include "TempFileBeside.h"
#include "UniqueNames.h"
#include "framework/Messages.h"
#include "framework/StringUtil.h"
#include "framework/TestHook.h"

#include <sqlite3.h>

#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How long a save waits for another program that holds the database.
constexpr int kBusyTimeoutMs = 3000;

// "name" with its double quotes doubled: any text as an SQL name.
CString QuotedName(const CString& strName)
{
    CString strQuoted = "\"";
    for (const char ch : strName) {
        if (ch == '"')
            strQuoted.push_back('"');
        strQuoted.push_back(ch);
    }
    return strQuoted + "\"";
}

// The file the path names, a symbolic link followed.
CString Resolved(const CString& strPath)
{
    char szResolved[PATH_MAX + 1] = {};
    return ::realpath(strPath.c_str(), szResolved) != nullptr ? CString(szResolved) : strPath;
}

// Whether the file is an SQLite database: a regular file that starts with
// the format's header.
bool IsSqliteDatabase(const CString& strPath)
{
    struct stat st
    {};
    if (::stat(strPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    const int fd = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    static constexpr char kHeader[] = "SQLite format 3"; // and its NUL: 16 bytes
    char buffer[sizeof kHeader] = {};
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    return n == static_cast<ssize_t>(sizeof buffer) &&
        std::string_view(buffer, sizeof buffer) == std::string_view(kHeader, sizeof kHeader);
}

} // namespace

CSqliteRowSink::CSqliteRowSink(CString strPath, CString strTableName, bool bSync)
    : m_strPath(std::move(strPath)), m_strTableName(std::move(strTableName)), m_bSync(bSync)
{}

CSqliteRowSink::~CSqliteRowSink() { Close(); }

std::vector<CString> CSqliteRowSink::MakeColumnNames(const std::vector<CTableColumn>& columns)
{
    std::vector<CString> names;
    for (size_t j = 0; j < columns.size(); ++j) {
        CString strName = str::Repaired(columns[j].strCaption);
        // A NUL would end the statement's text.
        str::ReplaceAll(strName, std::string_view("\0", 1), str::kReplacement);
        if (strName.empty())
            strName = "Column " + std::to_string(j + 1);
        names.push_back(std::move(strName));
    }
    return MakeUniqueNames(names, ENameCase::IgnoreAscii);
}

void CSqliteRowSink::Close() noexcept
{
    if (m_pInsert != nullptr) {
        sqlite3_finalize(m_pInsert);
        m_pInsert = nullptr;
    }
    if (m_pDb != nullptr) {
        if (m_bInTransaction)
            sqlite3_exec(m_pDb, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(m_pDb);
        m_pDb = nullptr;
    }
    m_bInTransaction = false;
    if (m_pNewFile != nullptr)
        m_pNewFile->Discard();
}

bool CSqliteRowSink::Fail(const CString& strReason)
{
    m_strError = msg::CannotWrite(m_strPath, strReason);
    Close();
    return false;
}

bool CSqliteRowSink::FailWithDatabase()
{
    return Fail(m_pDb != nullptr ? CString(sqlite3_errmsg(m_pDb)) : CString("out of memory"));
}

bool CSqliteRowSink::Execute(const CString& strSql)
{
    return sqlite3_exec(m_pDb, strSql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK ||
        FailWithDatabase();
}

bool CSqliteRowSink::Open(CString& strDbPath)
{
    const CString strTarget = Resolved(m_strPath);
    const bool bInPlace = IsSqliteDatabase(strTarget);
    if (bInPlace) {
        strDbPath = strTarget;
    } else {
        m_pNewFile = std::make_unique<CTempFileBeside>(m_strPath);
        if (!m_pNewFile->Create()) {
            m_strError = m_pNewFile->GetError();
            return false;
        }
        strDbPath = m_pNewFile->GetPath();
    }
    // The connection goes from thread to thread with the rows, but is used
    // by one at a time: it needs no lock of its own.
    if (sqlite3_open_v2(strDbPath.c_str(), &m_pDb, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK)
        return FailWithDatabase();
    sqlite3_extended_result_codes(m_pDb, 1);
    sqlite3_busy_timeout(m_pDb, kBusyTimeoutMs);
    // Nobody else sees a new file before it is complete, and a failed save
    // removes it: it needs neither a journal nor waits for the disk.
    const char* pszBegin = bInPlace ? "BEGIN IMMEDIATE"
                                    : "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; "
                                      "PRAGMA locking_mode=EXCLUSIVE; PRAGMA cache_size=-16384; "
                                      "BEGIN";
    if (!Execute(pszBegin))
        return false;
    m_bInTransaction = true;
    return true;
}

bool CSqliteRowSink::BeginRows(const std::vector<CTableColumn>& columns)
{
    Close();
    m_pNewFile.reset();
    m_nColumns = static_cast<int>(columns.size());
    if (columns.empty())
        return Fail("a table needs at least one column");
    CString strDbPath;
    if (!Open(strDbPath))
        return false;
    const CString strTable = QuotedName(str::Repaired(m_strTableName));
    CString strCreate = "CREATE TABLE " + strTable + " (";
    CString strInsert = "INSERT INTO " + strTable + " VALUES (";
    const std::vector<CString> names = MakeColumnNames(columns);
    for (size_t j = 0; j < names.size(); ++j) {
        strCreate += (j > 0 ? ", " : "") + QuotedName(names[j]) + " TEXT";
        strInsert += j > 0 ? ",?" : "?";
    }
    if (!Execute("DROP TABLE IF EXISTS " + strTable) || !Execute(strCreate + ")"))
        return false;
    if (sqlite3_prepare_v2(m_pDb, (strInsert + ")").c_str(), -1, &m_pInsert, nullptr) != SQLITE_OK)
        return FailWithDatabase();
    m_repaired.assign(columns.size(), CString());
    return true;
}

bool CSqliteRowSink::AddRow(const std::string_view* pCells, int /*nImage*/)
{
    // The library writes the file itself; the test hook counts the cells.
    for (int j = 0; j < m_nColumns; ++j)
        testhook::Wrote(pCells[j].size() + 1);
    if (m_pInsert == nullptr)
        return false;
    for (int j = 0; j < m_nColumns; ++j) {
        std::string_view cell = pCells[j];
        if (!str::IsValidUtf8(cell)) {
            m_repaired[static_cast<size_t>(j)] = str::Repaired(cell);
            cell = m_repaired[static_cast<size_t>(j)];
        }
        // An empty cell is the empty text, not NULL, which a null pointer
        // would give.
        const char* pText = cell.empty() ? "" : cell.data();
        if (sqlite3_bind_text64(m_pInsert, j + 1, pText, cell.size(), SQLITE_STATIC, SQLITE_UTF8) !=
            SQLITE_OK)
            return FailWithDatabase();
    }
    const int nResult = sqlite3_step(m_pInsert);
    sqlite3_reset(m_pInsert);
    return nResult == SQLITE_DONE || FailWithDatabase();
}

bool CSqliteRowSink::EndRows()
{
    if (m_pInsert == nullptr)
        return false;
    sqlite3_finalize(m_pInsert);
    m_pInsert = nullptr;
    if (!Execute("COMMIT"))
        return false;
    m_bInTransaction = false;
    const int nClosed = sqlite3_close(m_pDb);
    if (nClosed != SQLITE_OK)
        return FailWithDatabase();
    m_pDb = nullptr;
    if (m_pNewFile != nullptr && !m_pNewFile->Commit(m_bSync)) {
        m_strError = m_pNewFile->GetError();
        return false;
    }
    return true;
}
