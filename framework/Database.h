#pragma once
// A connection to an ODBC data source, and the exception it raises.
//
// This stands in for the platform framework's database class over
// unixODBC's driver manager. There is no window that could own a driver's
// connection dialog, so a connection is always made without one; the
// noOdbcDialog option is accepted for the callers that name it.

#include "File.h"
#include "StringTypes.h"

// A failed connection or statement. The text is the diagnostic text that
// the driver manager or the driver reported, one record per line.
class CDatabaseException : public CUserException
{
public:
    CDatabaseException(CString strMessage, CString strSqlState)
        : CUserException(std::move(strMessage)), m_strSqlState(std::move(strSqlState))
    {}
    // The five-character SQLSTATE of the first diagnostic record; empty when
    // there was none.
    const CString& GetSqlState() const { return m_strSqlState; }

private:
    CString m_strSqlState;
};

class CDatabase
{
public:
    enum EOpenOptions : unsigned {
        noOdbcDialog = 0x0008,
    };

    CDatabase() = default;
    // Closes an open connection.
    virtual ~CDatabase();
    CDatabase(const CDatabase&) = delete;
    CDatabase& operator=(const CDatabase&) = delete;

    // Connects with a full connection string ("DRIVER={...};..."). Returns
    // true; throws CDatabaseException when the connection cannot be made,
    // and the object then stays closed. An open connection is closed first.
    bool OpenEx(const CString& strConnect, unsigned nOptions = 0);
    bool IsOpen() const { return m_hDbc != nullptr; }

    // Runs one statement at once; in the driver's default auto-commit mode
    // it commits by itself. Throws CDatabaseException when the driver
    // refuses it or no connection is open.
    void ExecuteSQL(const CString& strSql);

    // Disconnects and releases the handles; never throws.
    void Close() noexcept;

private:
    // ODBC handles, kept as void* so that users of this header do not see
    // the driver manager's headers and their macros.
    void* m_hEnv = nullptr;
    void* m_hDbc = nullptr;
};
