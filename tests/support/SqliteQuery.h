#pragma once
// Reads a database file back with the sqlite3 command-line program, one
// line per result row, columns joined by "|".

#include "Shell.h"

#include <string>

#ifdef KORVANE_SQLITE3
inline bool HaveSqlite3() { return true; }

inline std::string QuerySqlite(const std::string& strFile, const std::string& strSql)
{
    return RunCapture(std::string(KORVANE_SQLITE3) + " -batch -separator '|' " +
                      ShellQuote(strFile) + " " + ShellQuote(strSql));
}
#else
inline bool HaveSqlite3() { return false; }

inline std::string QuerySqlite(const std::string&, const std::string&) { return {}; }
#endif
