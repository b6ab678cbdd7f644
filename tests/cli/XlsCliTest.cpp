// korvane-cli -o x.xls on a machine without a matching ODBC driver: the
// program itself runs, with an empty ODBC configuration of its own.

#include "support/TempDir.h"
#include "support/XlsFileTest.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A data file of nRows values, one per line, for the template "<$$n$$>".
std::string WriteRows(const CTempDir& dir, const std::string& strName, int nRows)
{
    std::string strData;
    for (int i = 1; i <= nRows; ++i)
        strData += "r" + std::to_string(i) + "\r\n";
    return dir.Write(strName, strData);
}

class XlsCli : public CXlsFileTest
{};

} // namespace

TEST_F(XlsCli, ASheetTakes65535RowsBelowTheColumnNamesAndRefusesMore)
{
    std::filesystem::create_directory(m_dir.File("odbc"));
    const std::string strTemplate = m_dir.Write("t.txt", "<$$n$$>\r\n");
    const auto run = [&](const std::string& strData, const std::string& strOut) {
        int nExit = -1;
        RunCommand("ODBCSYSINI=" + ShellQuote(m_dir.File("odbc")) +
                       " TMPDIR=" + ShellQuote(m_strTmp) + " " +
                       ShellQuote(std::string(KORVANE_BIN_DIR) + "/korvane-cli") + " --template " +
                       ShellQuote(strTemplate) + " --data " + ShellQuote(strData) + " -o " +
                       ShellQuote(strOut) + " 2>" + ShellQuote(m_dir.File("err.txt")),
                   &nExit);
        return nExit;
    };

    const std::string strFull = m_dir.File("full.xls");
    ASSERT_EQ(run(WriteRows(m_dir, "full.txt", 65535), strFull), 0)
        << CTempDir::Read(m_dir.File("err.txt"));
    const std::string strCells = RunReadXls("cells", {strFull});
    EXPECT_EQ(std::count(strCells.begin(), strCells.end(), '\n'), 2 + 65536);
    EXPECT_EQ(strCells.substr(0, strCells.find("r2\n")),
              "file " + strFull + "\nsheet KorvaneData\nn\nr1\n");
    EXPECT_EQ(strCells.substr(strCells.size() - 8), "\nr65535\n");

    // Nothing reaches the chosen path, an existing file there stays, and
    // nothing is left in the temporary folder.
    const std::string strExisting = m_dir.Write("existing.xls", "keep me");
    EXPECT_EQ(run(WriteRows(m_dir, "over.txt", 65536), strExisting), 1);
    EXPECT_EQ(CTempDir::Read(m_dir.File("err.txt")),
              "korvane-cli: An Excel 97-2003 sheet (.xls) holds at most 65,536 rows, the column "
              "names included, and this table has more. Save it as .csv or in another format "
              "instead.\n");
    EXPECT_EQ(CTempDir::Read(strExisting), "keep me");
    EXPECT_TRUE(std::filesystem::is_empty(m_strTmp));
}
