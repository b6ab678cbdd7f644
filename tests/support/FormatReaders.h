#pragma once
// Reads .xlsx, JSON and SQLite files back as their users do: Debian's
// python3 with openpyxl and json (read_formats.py beside this header),
// LibreOffice (XlsReaders.h) and the sqlite3 shell. Rows are compared in
// the printed form of read_xls.py, which DumpRows (XlsReaders.h) makes of
// expected cells.

#include "SqliteQuery.h"
#include "XlsReaders.h"

#include <string>
#include <vector>

using CRows = std::vector<std::vector<std::string>>;

inline bool HaveOpenpyxl()
{
    return std::system("/usr/bin/python3 -c 'import openpyxl' >/dev/null 2>&1") == 0;
}

// read_formats.py with a command and a file; its error output comes along.
inline std::string RunReadFormats(const std::string& strCommand, const std::string& strPath)
{
    return RunCommand(
        "/usr/bin/python3 " +
        ShellQuote(std::string(KORVANE_TEST_DATA_DIR) + "/../support/read_formats.py") + " " +
        strCommand + " " + ShellQuote(strPath) + " 2>&1");
}

// The column names and then the rows of a table, byte for byte as the
// sqlite3 shell finds them (read as hex, so that no cell text can confuse
// the reading).
inline CRows ReadSqliteTable(const std::string& strFile, const std::string& strTable)
{
    const auto fromHex = [](const std::string& strHex) {
        std::string out;
        for (size_t i = 0; i + 1 < strHex.size(); i += 2)
            out += static_cast<char>(std::stoi(strHex.substr(i, 2), nullptr, 16));
        return out;
    };
    const auto lines = [](const std::string& strText) {
        std::vector<std::string> result;
        size_t nFrom = 0;
        for (size_t nLf = strText.find('\n'); nLf != std::string::npos;
             nLf = strText.find('\n', nFrom = nLf + 1))
            result.push_back(strText.substr(nFrom, nLf - nFrom));
        return result;
    };
    CRows rows(1);
    std::string strSelect;
    for (const std::string& strLine : lines(
             QuerySqlite(strFile, "SELECT hex(name) FROM pragma_table_info('" + strTable + "')"))) {
        rows[0].push_back(fromHex(strLine));
        std::string strQuoted = "\"";
        for (const char ch : rows[0].back())
            strQuoted += ch == '"' ? std::string("\"\"") : std::string(1, ch);
        strSelect += (strSelect.empty() ? "SELECT hex(" : ", hex(") + strQuoted + "\")";
    }
    if (strSelect.empty())
        return rows;
    for (const std::string& strLine :
         lines(QuerySqlite(strFile, strSelect + " FROM \"" + strTable + "\" ORDER BY rowid"))) {
        rows.emplace_back();
        size_t nFrom = 0;
        for (size_t nBar = strLine.find('|');; nBar = strLine.find('|', nFrom)) {
            rows.back().push_back(fromHex(strLine.substr(nFrom, nBar - nFrom)));
            if (nBar == std::string::npos)
                break;
            nFrom = nBar + 1;
        }
    }
    return rows;
}
