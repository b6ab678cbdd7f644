#include "OdbcExport.h"

#include "TempExportFile.h"

#include "drivers/StandInDriver.h"
#include "framework/Database.h"
#include "framework/File.h"
#include "framework/ListCtrl.h"
#include "framework/ListRows.h"
#include "framework/Messages.h"
#include "framework/Sink.h"
#include "framework/StringUtil.h"
#include "framework/TestHook.h"

#include <odbcinst.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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
    COdbcRowSink sink(strTableName, strPath, strDriverPattern, strExtension);
    if (!SendListRows(list, sink)) {
        strError = sink.GetError();
        return 0;
    }
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
        CString strName(p);
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
    const int nColumns = list.GetColumnCount();
    std::vector<std::string_view> cells(static_cast<size_t>(nColumns));
    for (int j = 0; j < nColumns; ++j)
        cells[static_cast<size_t>(j)] = list.GetItemTextView(nItem, j);
    return MakeInsert(strTableName, arrColumns, cells.data(), nColumns);
}

CString COdbcExport::MakeInsert(const CString& strTableName, const CStringArray& arrColumns,
                                const std::string_view* pCells, int nCount) const
{
    CString strSql = "insert into [" + strTableName + "] (";
    for (int j = 0; j < arrColumns.GetSize(); ++j) {
        if (j > 0)
            strSql += ",";
        strSql += arrColumns[j];
    }
    strSql += ") values ('";
    for (int j = 0; j < nCount; ++j) {
        strSql += MakeValue(CString(BoundedRead(pCells[j])));
        strSql += j + 1 < nCount ? "','" : "')";
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
    return MakeColumnNames(ColumnsOf(list));
}

CStringArray COdbcExport::MakeColumnNames(const std::vector<CTableColumn>& columns)
{
    CStringArray arrColumns;
    for (const CTableColumn& column : columns)
        arrColumns.Add(MakeColumnName(CString(BoundedRead(column.strCaption))));
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

COdbcRowSink::COdbcRowSink(CString strTableName, CString strPath, CString strDriverPattern,
                           CString strExtension)
    : m_strTableName(std::move(strTableName)), m_strPath(std::move(strPath)),
      m_strDriverPattern(std::move(strDriverPattern)), m_strExtension(std::move(strExtension))
{}

// The connection goes before the temporary files it writes.
COdbcRowSink::~COdbcRowSink()
{
    m_pDatabase.reset();
    m_pStandIn.reset();
    m_pTemp.reset();
}

void COdbcRowSink::Execute(const CString& strSql)
{
    if (m_pStandIn)
        m_pStandIn->ExecuteSQL(strSql);
    else
        m_pDatabase->ExecuteSQL(strSql);
}

bool COdbcRowSink::BeginRows(const std::vector<CTableColumn>& columns)
{
    const COdbcExport exporter;
    const CString strDriver = exporter.FindDriver(m_strDriverPattern);
    // Without an installed driver, a stand-in of the program's own writes
    // the file, fed the same attributes and statements.
    if (strDriver.empty())
        m_pStandIn = CStandInDriver::Find(m_strDriverPattern);
    if (strDriver.empty() && m_pStandIn == nullptr) {
        m_strError = "No ODBC driver matching \"" + m_strDriverPattern + "\" is installed.";
        return false;
    }
    m_pTemp = std::make_unique<CTempExportFile>();
    if (!m_pTemp->Create(m_strExtension, m_strError))
        return false;

    // The attribute list ends with an empty attribute, the second NUL.
    CString strAttributes = "CREATE_DB=\"" + m_pTemp->GetPath() + "\"";
    strAttributes.push_back('\0');
    const CString strConnect = "DRIVER={" + (m_pStandIn ? m_pStandIn->GetName() : strDriver) +
        "};DSN='';READONLY=FALSE;DBQ=" + m_pTemp->GetPath();
    // A driver that cannot make the file shows it at the connection, a
    // statement or the move, each with its own message.
    if (m_pStandIn) {
        m_pStandIn->ConfigDataSource(strAttributes.c_str());
        m_pStandIn->Connect(strConnect);
    } else {
        SQLConfigDataSource(nullptr, ODBC_ADD_DSN, strDriver.c_str(), strAttributes.c_str());
        m_pDatabase = std::make_unique<CDatabase>();
        m_pDatabase->OpenEx(strConnect, CDatabase::noOdbcDialog);
    }
    m_arrColumns = COdbcExport::MakeColumnNames(columns);
    Execute(exporter.MakeCreateTable(m_strTableName, m_arrColumns));
    return true;
}

bool COdbcRowSink::AddRow(const std::string_view* pCells, int /*nImage*/)
{
    const CString strSql =
        COdbcExport().MakeInsert(m_strTableName, m_arrColumns, pCells, m_arrColumns.GetSize());
    Execute(strSql);
    testhook::Wrote(strSql.size());
    return true;
}

bool COdbcRowSink::EndRows()
{
    if (m_pStandIn)
        m_pStandIn->Close();
    else
        m_pDatabase->Close();
    if (!MoveReplacing(m_pTemp->GetPath(), m_strPath, m_strError))
        return false;
    m_pTemp->Release();
    return true;
}
