#pragma once
// Korvane's own drivers for the spreadsheet and database files that the
// ODBC export names by driver: Linux has no driver whose name contains
// "Microsoft Excel Driver (*.xls)" or "Microsoft Access Driver (*.mdb)", so
// the export falls back to a stand-in of ours under that name when none is
// installed. A stand-in is fed exactly what an ODBC driver would be: the
// attribute list that creates the file, the connection string that names
// it, and the create-table and insert statements of the export. An
// installed driver with a matching name is always preferred.

#include "SqlStatement.h"
#include "framework/StringTypes.h"

#include <memory>
#include <vector>

class CStandInDriver
{
public:
    virtual ~CStandInDriver() = default;
    CStandInDriver(const CStandInDriver&) = delete;
    CStandInDriver& operator=(const CStandInDriver&) = delete;

    // The stand-in whose name contains strPattern (exact, case-sensitive),
    // or null when there is none.
    static std::unique_ptr<CStandInDriver> Find(const CString& strPattern);

    // The driver name the stand-in answers to.
    const CString& GetName() const { return m_strName; }

    // As SQLConfigDataSource with ODBC_ADD_DSN: pszAttributes holds
    // attributes of the form KEY=value, each ended by a NUL, the list ended
    // by a second NUL. CREATE_DB="path" makes an empty file of the stand-in's
    // kind at path (an existing file there is replaced). False when the
    // attributes hold no CREATE_DB or the file cannot be made.
    bool ConfigDataSource(const char* pszAttributes);

    // As CDatabase::OpenEx with a connection string that names the file by
    // DBQ=path. Throws CDatabaseException when it names none.
    void Connect(const CString& strConnect);

    // One statement: "create table [T]([A] char (255),[B] char (255))" once,
    // then "insert into [T] (A,B) values ('a','b')" per row, the values with
    // their apostrophes doubled. Throws CDatabaseException for a statement it
    // does not take, a table it does not know, a count of values that does
    // not match the columns, or a row past the file's limits.
    void ExecuteSQL(const CString& strSql);

    // Finishes the file at the connected path. Throws CDatabaseException,
    // naming the file and the reason, when it cannot be written; the file
    // is then left as an empty one or removed. Never throws once finished.
    void Close();

protected:
    explicit CStandInDriver(CString strName) : m_strName(std::move(strName)) {}

    // Makes the empty file that CREATE_DB asks for; false when it cannot.
    virtual bool CreateEmptyFile(const CString& strPath) = 0;
    // The table and its columns, once per connection, before any row.
    virtual void BeginTable(const CString& strTable, const std::vector<CString>& columns) = 0;
    // One row of values, one per column, as the statement holds them with
    // the doubled apostrophes made single. Throws CDatabaseException when
    // the file cannot take another row.
    virtual void AddRow(const std::vector<CString>& values) = 0;
    // Writes the whole file to strPath. Throws CDatabaseException on failure.
    virtual void Finish(const CString& strPath) = 0;

private:
    CString m_strName;
    CString m_strPath;             // DBQ of the connection
    CCreateTableStatement m_table; // the table created, taken apart
    bool m_bHaveTable = false;
    bool m_bConnected = false;
};

// The two stand-ins; each is made in its own file.
std::unique_ptr<CStandInDriver> MakeExcelStandIn();
std::unique_ptr<CStandInDriver> MakeAccessStandIn();
