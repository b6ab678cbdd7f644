#pragma once
// Reads a database file back with the sqlite3 command-line program, one
// line per result row, columns joined by "|".

#include <cstdio>
#include <string>

#ifdef KORVANE_SQLITE3
inline bool HaveSqlite3() { return true; }

inline std::string QuerySqlite(const std::string& strFile, const std::string& strSql)
{
    const auto quote = [](const std::string& s) {
        std::string out = "'";
        for (const char ch : s) {
            if (ch == '\'')
                out += "'\\''";
            else
                out += ch;
        }
        return out + "'";
    };
    const std::string strCommand = std::string(KORVANE_SQLITE3) + " -batch -separator '|' " +
        quote(strFile) + " " + quote(strSql) + " 2>&1";
    FILE* pipe = ::popen(strCommand.c_str(), "r");
    if (pipe == nullptr)
        return "(popen failed)";
    std::string out;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    ::pclose(pipe);
    return out;
}
#else
inline bool HaveSqlite3() { return false; }

inline std::string QuerySqlite(const std::string&, const std::string&) { return {}; }
#endif
