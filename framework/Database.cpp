#include "Database.h"

#include <sql.h>
#include <sqlext.h>

#include <vector>

namespace {

// Every diagnostic record of a handle, one message per line, and the
// SQLSTATE of the first record.
CDatabaseException MakeException(SQLSMALLINT nHandleType, SQLHANDLE hHandle, const char* pszCall)
{
    CString strMessage;
    CString strState;
    if (hHandle != SQL_NULL_HANDLE) {
        for (SQLSMALLINT nRecord = 1;; ++nRecord) {
            SQLCHAR szState[SQL_SQLSTATE_SIZE + 1] = {};
            SQLINTEGER nNative = 0;
            std::vector<SQLCHAR> text(SQL_MAX_MESSAGE_LENGTH + 1, 0);
            SQLSMALLINT nLength = 0;
            SQLRETURN nRet =
                SQLGetDiagRec(nHandleType, hHandle, nRecord, szState, &nNative, text.data(),
                              static_cast<SQLSMALLINT>(text.size()), &nLength);
            if (nRet == SQL_SUCCESS_WITH_INFO && nLength >= static_cast<SQLSMALLINT>(text.size())) {
                // The message was cut; ask again with room for all of it.
                text.assign(static_cast<size_t>(nLength) + 1, 0);
                nRet = SQLGetDiagRec(nHandleType, hHandle, nRecord, szState, &nNative, text.data(),
                                     static_cast<SQLSMALLINT>(text.size()), &nLength);
            }
            if (nRet != SQL_SUCCESS && nRet != SQL_SUCCESS_WITH_INFO)
                break;
            if (strState.empty())
                strState = reinterpret_cast<const char*>(szState);
            if (!strMessage.empty())
                strMessage += "\n";
            strMessage += reinterpret_cast<const char*>(text.data());
        }
    }
    if (strMessage.empty())
        strMessage = CString("The ODBC call ") + pszCall + " failed.";
    return CDatabaseException(strMessage, strState);
}

bool Succeeded(SQLRETURN nRet) { return nRet == SQL_SUCCESS || nRet == SQL_SUCCESS_WITH_INFO; }

} // namespace

CDatabase::~CDatabase() { Close(); }

bool CDatabase::OpenEx(const CString& strConnect, unsigned /*nOptions*/)
{
    Close();
    SQLHENV hEnv = SQL_NULL_HENV;
    if (!Succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &hEnv)))
        throw CDatabaseException("The ODBC driver manager cannot allocate an environment.", "");
    m_hEnv = hEnv;
    SQLRETURN nRet =
        SQLSetEnvAttr(hEnv, SQL_ATTR_ODBC_VERSION,
                      reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_OV_ODBC3)), 0);
    if (!Succeeded(nRet)) {
        CDatabaseException error = MakeException(SQL_HANDLE_ENV, hEnv, "SQLSetEnvAttr");
        Close();
        throw error;
    }
    SQLHDBC hDbc = SQL_NULL_HDBC;
    if (!Succeeded(SQLAllocHandle(SQL_HANDLE_DBC, hEnv, &hDbc))) {
        CDatabaseException error = MakeException(SQL_HANDLE_ENV, hEnv, "SQLAllocHandle");
        Close();
        throw error;
    }
    std::vector<SQLCHAR> connect(strConnect.begin(), strConnect.end());
    connect.push_back(0);
    SQLCHAR szOut[1024] = {};
    SQLSMALLINT nOutLength = 0;
    // No window exists to own a prompt, so the driver is never asked for one.
    nRet = SQLDriverConnect(hDbc, nullptr, connect.data(), SQL_NTS, szOut, sizeof szOut,
                            &nOutLength, SQL_DRIVER_NOPROMPT);
    if (!Succeeded(nRet)) {
        CDatabaseException error = MakeException(SQL_HANDLE_DBC, hDbc, "SQLDriverConnect");
        SQLFreeHandle(SQL_HANDLE_DBC, hDbc);
        Close();
        throw error;
    }
    m_hDbc = hDbc;
    return true;
}

void CDatabase::ExecuteSQL(const CString& strSql)
{
    if (m_hDbc == nullptr)
        throw CDatabaseException("The database is not open.", "");
    SQLHSTMT hStmt = SQL_NULL_HSTMT;
    if (!Succeeded(SQLAllocHandle(SQL_HANDLE_STMT, m_hDbc, &hStmt)))
        throw MakeException(SQL_HANDLE_DBC, m_hDbc, "SQLAllocHandle");
    std::vector<SQLCHAR> sql(strSql.begin(), strSql.end());
    sql.push_back(0);
    const SQLRETURN nRet = SQLExecDirect(hStmt, sql.data(), SQL_NTS);
    // A statement that touches no rows answers SQL_NO_DATA; that is success.
    if (!Succeeded(nRet) && nRet != SQL_NO_DATA) {
        CDatabaseException error = MakeException(SQL_HANDLE_STMT, hStmt, "SQLExecDirect");
        SQLFreeHandle(SQL_HANDLE_STMT, hStmt);
        throw error;
    }
    SQLFreeHandle(SQL_HANDLE_STMT, hStmt);
}

void CDatabase::Close() noexcept
{
    if (m_hDbc != nullptr) {
        SQLDisconnect(m_hDbc);
        SQLFreeHandle(SQL_HANDLE_DBC, m_hDbc);
        m_hDbc = nullptr;
    }
    if (m_hEnv != nullptr) {
        SQLFreeHandle(SQL_HANDLE_ENV, m_hEnv);
        m_hEnv = nullptr;
    }
}
