#include "OdbcExport.h"

#include "drivers/StandInDriver.h"
#include "framework/Database.h"
#include "framework/File.h"
#include "framework/ListCtrl.h"
#include "framework/Messages.h"
#include "framework/Sink.h"
#include "framework/StringUtil.h"

#include <odbcinst.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The name the platform gives a new temporary file ("MyE" and a unique part,
// reserved by creating it empty with the extension ".tmp"), and the name
// with the export's extension in place of ".tmp" that the driver creates.
// Both are removed when the object goes, unless the finished file was moved
// away.
class CTempExportFile
{
public:
    CTempExportFile() = default;
    ~CTempExportFile() { Remove(); }
    CTempExportFile(const CTempExportFile&) = delete;
    CTempExportFile& operator=(const CTempExportFile&) = delete;

    bool Create(const CString& strExtension, CString& strError)
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
                strError =
                    "Cannot create a temporary file in \"" + strDir + "\": " + ErrnoText(errno);
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
                return true;
            }
            // Someone else's file has that name; it must not be touched.
            ::unlink(m_strReserved.c_str());
            m_strReserved.clear();
        }
        strError = "Cannot create a temporary file in \"" + strDir + "\": " + ErrnoText(EEXIST);
        return false;
    }

    const CString& GetPath() const { return m_strPath; }

    // The file at GetPath has gone to its place; only the reserved name is
    // left to remove.
    void Release() { m_strPath.clear(); }

    void Remove() noexcept
    {
        if (!m_strPath.empty())
            ::unlink(m_strPath.c_str());
        if (!m_strReserved.empty())
            ::unlink(m_strReserved.c_str());
        m_strPath.clear();
        m_strReserved.clear();
    }

private:
    CString m_strReserved;
    CString m_strPath;
};

// Moves strFrom to strTo, replacing a file there. Across file systems the
// file is copied, and the target is replaced only by a complete copy.
bool MoveReplacing(const CString& strFrom, CString strTo, CString& strError)
{
    // Save As writes through a symbolic link to the file it names.
    struct stat stLink
    {};
    std::vector<char> resolved(PATH_MAX + 1, '\0');
    if (::lstat(strTo.c_str(), &stLink) == 0 && S_ISLNK(stLink.st_mode) &&
        ::realpath(strTo.c_str(), resolved.data()) != nullptr)
        strTo = resolved.data();
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

} // namespace

int COdbcExport::ExportExcel(const CString& strTableName, const CString& strPath,
                             const CListCtrl& list, CString& strError) const
{
    return Export(strTableName, strPath, list, "Microsoft Excel Driver (*.xls)", ".xls", strError);
}

int COdbcExport::ExportAccess(const CString& strTableName, const CString& strPath,
                              const CListCtrl& list, CString& strError) const
{
    return Export(strTableName, strPath, list, "Microsoft Access Driver (*.mdb)", ".mdb", strError);
}

int COdbcExport::Export(const CString& strTableName, const CString& strPath, const CListCtrl& list,
                        const CString& strDriverPattern, const CString& strExtension,
                        CString& strError) const
{
    const CString strDriver = FindDriver(strDriverPattern);
    // Without an installed driver, a stand-in of the program's own writes
    // the file, fed the same attributes and statements.
    std::unique_ptr<CStandInDriver> pStandIn;
    if (strDriver.empty())
        pStandIn = CStandInDriver::Find(strDriverPattern);
    if (strDriver.empty() && pStandIn == nullptr) {
        strError = "No ODBC driver matching \"" + strDriverPattern + "\" is installed.";
        return 0;
    }
    CTempExportFile temp;
    if (!temp.Create(strExtension, strError))
        return 0;

    // The attribute list ends with an empty attribute, the second NUL.
    CString strAttributes = "CREATE_DB=\"" + temp.GetPath() + "\"";
    strAttributes.push_back('\0');
    const CString strConnect = "DRIVER={" + (pStandIn ? pStandIn->GetName() : strDriver) +
        "};DSN='';READONLY=FALSE;DBQ=" + temp.GetPath();
    const CStringArray arrColumns = MakeColumnNames(list);
    // A driver that cannot make the file shows it at the connection, a
    // statement or the move below, each with its own message.
    if (pStandIn) {
        pStandIn->ConfigDataSource(strAttributes.c_str());
        pStandIn->Connect(strConnect);
        pStandIn->ExecuteSQL(MakeCreateTable(strTableName, arrColumns));
        for (int i = 0; i < list.GetItemCount(); ++i)
            pStandIn->ExecuteSQL(MakeInsert(strTableName, arrColumns, list, i));
        pStandIn->Close();
    } else {
        SQLConfigDataSource(nullptr, ODBC_ADD_DSN, strDriver.c_str(), strAttributes.c_str());
        CDatabase database;
        database.OpenEx(strConnect, CDatabase::noOdbcDialog);
        database.ExecuteSQL(MakeCreateTable(strTableName, arrColumns));
        for (int i = 0; i < list.GetItemCount(); ++i)
            database.ExecuteSQL(MakeInsert(strTableName, arrColumns, list, i));
        database.Close();
    }

    if (!MoveReplacing(temp.GetPath(), strPath, strError))
        return 0;
    temp.Release();
    return 1;
}

CString COdbcExport::FindDriver(const CString& strPattern) const
{
    // Room for far more drivers than a machine has; the list is cut, not
    // overrun, when it does not fit.
    std::vector<char> buffer(0xFFFF, '\0');
    WORD nOut = 0;
    if (!SQLGetInstalledDrivers(buffer.data(), static_cast<WORD>(buffer.size() - 1), &nOut))
        return {};
    const char* p = buffer.data();
    const char* pEnd = buffer.data() + buffer.size();
    while (p < pEnd && *p != '\0') {
        const CString strName(p);
        if (strName.find(strPattern) != CString::npos)
            return strName;
        p += strName.size() + 1;
    }
    return {};
}

CString COdbcExport::MakeCreateTable(const CString& strTableName,
                                     const CStringArray& arrColumns) const
{
    CString strSql = "create table [" + strTableName + "](";
    for (int j = 0; j < arrColumns.GetSize(); ++j) {
        strSql += "[" + arrColumns[j] + "] char (255)";
        strSql += j + 1 < arrColumns.GetSize() ? "," : ")";
    }
    return strSql;
}

CString COdbcExport::MakeInsert(const CString& strTableName, const CStringArray& arrColumns,
                                const CListCtrl& list, int nItem) const
{
    CString strSql = "insert into [" + strTableName + "] (";
    for (int j = 0; j < arrColumns.GetSize(); ++j) {
        if (j > 0)
            strSql += ",";
        strSql += arrColumns[j];
    }
    strSql += ") values ('";
    const int nColumns = list.GetColumnCount();
    for (int j = 0; j < nColumns; ++j) {
        strSql += MakeValue(list.GetItemTextBounded(nItem, j, CListCtrl::kTextBuffer));
        strSql += j + 1 < nColumns ? "','" : "')";
    }
    return strSql;
}

void COdbcExport::EscapeQuotes(CString& str) { str::ReplaceAll(str, "'", "''"); }

CString COdbcExport::MakeColumnName(const CString& strCaption)
{
    CString strName = str::Trim(strCaption);
    str::ReplaceAll(strName, " ", "_");
    str::ReplaceAll(strName, "-", "_");
    if (strName == "Time" || strName == "Date")
        strName = "Date_Time";
    return strName;
}

CStringArray COdbcExport::MakeColumnNames(const CListCtrl& list)
{
    CStringArray arrColumns;
    for (int j = 0; j < list.GetColumnCount(); ++j)
        arrColumns.Add(MakeColumnName(list.GetColumnCaption(j, CListCtrl::kTextBuffer)));
    return arrColumns;
}

CString COdbcExport::MakeValue(const CString& strCell)
{
    CString strValue = strCell;
    // The build's code page is UTF-8: its characters are printable text and
    // stay; only control bytes and broken sequences become blanks.
    str::BlankControlAndInvalid(strValue);
    EscapeQuotes(strValue);
    return str::Trim(strValue);
}
