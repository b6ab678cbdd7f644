#include "StandInDriver.h"

#include "SqlStatement.h"
#include "framework/Database.h"

#include <string_view>

namespace {

struct CStandInEntry
{
    const char* pszName;
    std::unique_ptr<CStandInDriver> (*pMake)();
};

const CStandInEntry kStandIns[] = {
    {"Microsoft Excel Driver (*.xls)", &MakeExcelStandIn},
    {"Microsoft Access Driver (*.mdb)", &MakeAccessStandIn},
};

// The value of an attribute, without the quotes around it.
CString Unquoted(std::string_view value)
{
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return CString(value);
}

} // namespace

std::unique_ptr<CStandInDriver> CStandInDriver::Find(const CString& strPattern)
{
    for (const CStandInEntry& entry : kStandIns) {
        if (CString(entry.pszName).find(strPattern) != CString::npos)
            return entry.pMake();
    }
    return nullptr;
}

bool CStandInDriver::ConfigDataSource(const char* pszAttributes)
{
    constexpr std::string_view kCreate = "CREATE_DB=";
    for (const char* p = pszAttributes; p != nullptr && *p != '\0';) {
        const std::string_view attribute(p);
        if (attribute.substr(0, kCreate.size()) == kCreate)
            return CreateEmptyFile(Unquoted(attribute.substr(kCreate.size())));
        p += attribute.size() + 1;
    }
    return false;
}

void CStandInDriver::Connect(const CString& strConnect)
{
    // DBQ is the last key of the export's connection string, and a path may
    // hold a semicolon: the path runs to the end.
    const size_t nAt = strConnect.rfind("DBQ=");
    if (nAt == CString::npos || (nAt > 0 && strConnect[nAt - 1] != ';') ||
        nAt + 4 == strConnect.size())
        throw CDatabaseException("[" + m_strName + "] The connection string names no file (DBQ).",
                                 "HY000");
    m_strPath = Unquoted(std::string_view(strConnect).substr(nAt + 4));
    m_bHaveTable = false;
    m_bConnected = true;
}

void CStandInDriver::ExecuteSQL(const CString& strSql)
{
    if (!m_bConnected)
        throw CDatabaseException("[" + m_strName + "] No connection is open.", "08003");
    if (!m_bHaveTable) {
        if (!ParseCreateTable(strSql, m_table))
            throw CDatabaseException("[" + m_strName + "] Cannot run: " + strSql, "42000");
        m_bHaveTable = true;
        BeginTable(m_table.strTable, m_table.columns);
        return;
    }
    std::vector<CString> values;
    if (!ParseInsert(strSql, m_table, values) || values.size() != m_table.columns.size())
        throw CDatabaseException("[" + m_strName + "] Cannot run: " + strSql, "42000");
    AddRow(values);
}

void CStandInDriver::Close()
{
    if (!m_bConnected)
        return;
    m_bConnected = false;
    Finish(m_strPath);
}
