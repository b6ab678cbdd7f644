#pragma once
// Reads an .mdb file back with the readers a user has on Linux: the mdbtools
// programs, and the mdbtools ODBC driver through unixODBC's isql. Rows come
// back as cells; a reader's warnings on standard error come back as rows too,
// so that they fail a comparison.

#include "support/Shell.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

using CRows = std::vector<std::vector<std::string>>;

inline bool HaveProgram(const std::string& strName)
{
    return std::system(("command -v " + strName + " >/dev/null 2>&1").c_str()) == 0;
}

// A test that reads .mdb files back with the mdbtools programs, skipped where
// they are missing; m_dir is its scratch folder.
class CMdbToolsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!HaveProgram("mdb-export") || !HaveProgram("mdb-schema"))
            GTEST_SKIP()
                << "mdbtools (mdb-ver, mdb-tables, mdb-schema, mdb-export) is not installed";
    }

    CTempDir m_dir;
};

// Lines cut at LF (a CR before it dropped), cells at cSeparator.
inline CRows SplitRows(const std::string& strText, char cSeparator)
{
    CRows rows;
    size_t nAt = 0;
    while (nAt < strText.size()) {
        size_t nEnd = strText.find('\n', nAt);
        if (nEnd == std::string::npos)
            nEnd = strText.size();
        std::string strLine = strText.substr(nAt, nEnd - nAt);
        if (!strLine.empty() && strLine.back() == '\r')
            strLine.pop_back();
        std::vector<std::string> cells;
        for (size_t nCell = 0;;) {
            const size_t nSep = strLine.find(cSeparator, nCell);
            cells.push_back(strLine.substr(nCell, nSep - nCell));
            if (nSep == std::string::npos)
                break;
            nCell = nSep + 1;
        }
        rows.push_back(std::move(cells));
        nAt = nEnd + 1;
    }
    return rows;
}

// The rows of a table by mdb-export, without quotes, cells cut at tabs
// (the export's values hold no control characters).
inline CRows MdbExportRows(const std::string& strFile, const std::string& strTable)
{
    return SplitRows(RunCapture("mdb-export -H -Q -d \"$(printf '\\t')\" " + ShellQuote(strFile) +
                                " " + ShellQuote(strTable)),
                     '\t');
}

#ifdef KORVANE_MDB_ODBC_DRIVER
inline bool HaveMdbOdbc() { return HaveProgram("isql"); }

// "select * from [strTable]" through the mdbtools ODBC driver, registered in
// a private odbcinst.ini in strConfigDir.
inline CRows IsqlRows(const std::string& strFile, const std::string& strTable,
                      const std::string& strConfigDir)
{
    std::ofstream(strConfigDir + "/odbcinst.ini")
        << "[MDBTools]\nDriver=" << KORVANE_MDB_ODBC_DRIVER << "\n";
    std::ofstream(strConfigDir + "/odbc.ini") << "";
    const std::string strCommand = "echo " + ShellQuote("select * from [" + strTable + "]") +
        " | ODBCSYSINI=" + ShellQuote(strConfigDir) +
        " ODBCINI=" + ShellQuote(strConfigDir + "/odbc.ini") + " isql -b -x0x09 -k " +
        ShellQuote("DRIVER={MDBTools};DBQ=" + strFile);
    return SplitRows(RunCapture(strCommand), '\t');
}
#else
inline bool HaveMdbOdbc() { return false; }
inline CRows IsqlRows(const std::string&, const std::string&, const std::string&) { return {}; }
#endif
