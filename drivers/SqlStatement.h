#pragma once
// The two statements the ODBC export sends, taken apart: the table and the
// column names of a create-table statement, and the table and the values of
// an insert.

#include "framework/StringTypes.h"

#include <vector>

struct CCreateTableStatement
{
    CString strTable;
    std::vector<CString> columns;
};

// "create table [T]([A] char (255),[B] char (255))": false when the text
// has another shape. Names may hold any byte; a name that holds the text
// "] char (255),[" cannot be told apart and is cut there.
bool ParseCreateTable(const CString& strSql, CCreateTableStatement& statement);

// The values of "insert into [T] (A,B) values ('a','b')" for the table and
// columns of a create-table statement (the names joined by commas, as the
// export writes them), with the apostrophes inside them made single: false
// when the text has another shape or names another table or other columns.
bool ParseInsert(const CString& strSql, const CCreateTableStatement& table,
                 std::vector<CString>& values);
