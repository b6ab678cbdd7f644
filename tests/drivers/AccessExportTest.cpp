// The Access export end to end with no ODBC driver installed: the stand-in
// writes the file, and the readers a user has on Linux read it back.

#include "MdbTools.h"
#include "support/ListBuilder.h"
#include "support/TempDir.h"
#include "export/OdbcExport.h"
#include "framework/Database.h"
#include "framework/StringUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

namespace {

// A cell as the export stores it: the list's bounded read, then the
// export's value rules, with the apostrophes of the statement made single.
std::string Stored(const std::string& strCell)
{
    CString strValue = COdbcExport::MakeValue(strCell.substr(0, CListCtrl::kTextBuffer - 1));
    str::ReplaceAll(strValue, "''", "'");
    return strValue;
}

// The mdbtools readers (1.0) decode Jet text as UCS-2: a character beyond
// U+FFFF, stored as two UTF-16 units, comes back as "??".
std::string AsMdbToolsReadsIt(const std::string& str)
{
    std::string out;
    for (size_t i = 0; i < str.size(); ++i) {
        if ((static_cast<unsigned char>(str[i]) & 0xF8) == 0xF0) {
            out += "??";
            i += 3;
        } else {
            out += str[i];
        }
    }
    return out;
}

void ExpectSameCells(const CRows& actual, const CRows& expected, const char* pszReader)
{
    ASSERT_EQ(actual.size(), expected.size()) << pszReader;
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(actual[i].size(), expected[i].size()) << pszReader << " row " << i;
        for (size_t j = 0; j < expected[i].size(); ++j) {
            const std::string& strCell = actual[i][j];
            EXPECT_TRUE(strCell == expected[i][j] || strCell == AsMdbToolsReadsIt(expected[i][j]))
                << pszReader << " row " << i << " column " << j << ": " << strCell
                << " != " << expected[i][j];
        }
    }
}

// The cells of a list, which the TXT export writes as they are (a tab or a
// line break inside a cell included), turned into stored values.
CRows StoredRows(const CListCtrl& list)
{
    CRows rows(static_cast<size_t>(list.GetItemCount()));
    for (int i = 0; i < list.GetItemCount(); ++i) {
        for (int j = 0; j < list.GetColumnCount(); ++j)
            rows[static_cast<size_t>(i)].push_back(Stored(list.GetItemText(i, j)));
    }
    return rows;
}

class AccessExport : public CMdbToolsTest
{
protected:
    void SetUp() override
    {
        CMdbToolsTest::SetUp();
        if (IsSkipped())
            return;
        std::filesystem::create_directory(m_dir.File("tmp"));
        std::filesystem::create_directory(m_dir.File("odbc"));
        ::setenv("TMPDIR", m_dir.File("tmp").c_str(), 1);
    }
    void TearDown() override { ::unsetenv("TMPDIR"); }

    bool TempFolderIsEmpty() const { return std::filesystem::is_empty(m_dir.File("tmp")); }

    // The file read back by every reader, compared with the expected rows.
    void ExpectReadersAgree(const std::string& strPath, const std::vector<std::string>& columns,
                            const CRows& expected)
    {
        const std::string strFile = ShellQuote(strPath);
        EXPECT_EQ(RunCapture("mdb-ver " + strFile), "JET4\n");
        EXPECT_EQ(RunCapture("mdb-tables -1 " + strFile), "KorvaneData\n");
        const std::string strSchema = RunCapture("mdb-schema " + strFile);
        for (const std::string& strColumn : columns)
            EXPECT_NE(strSchema.find("[" + strColumn + "]\t\t\tText (255)"), std::string::npos)
                << strColumn << "\n"
                << strSchema;
        ExpectSameCells(MdbExportRows(strPath, "KorvaneData"), expected, "mdb-export");
        if (!HaveMdbOdbc()) {
            std::cout
                << "isql or the mdbtools ODBC driver is not installed: not read through ODBC\n";
            return;
        }
        CRows odbc = IsqlRows(strPath, "KorvaneData", m_dir.File("odbc"));
        ExpectSameCells(odbc, expected, "isql");
    }
};

} // namespace

TEST_F(AccessExport, SamplesReadBackAsTheTextExportShowsThem)
{
    const std::string strCli = std::string(KORVANE_BIN_DIR) + "/korvane-cli";
    const std::string strSamples = std::string(KORVANE_BIN_DIR) + "/Sample1/";
    const std::string strArgs = " --template " +
        ShellQuote(strSamples + "login_to_url_template.txt") + " --data " +
        ShellQuote(strSamples + "login_to_url.txt");
    const std::string strMdb = m_dir.File("samples.mdb");
    ASSERT_EQ(RunCapture(strCli + strArgs + " -o " + ShellQuote(strMdb)), "");
    CRows text = SplitRows(RunCapture(strCli + strArgs + " --header"), '\t');
    ASSERT_GT(text.size(), 1u);
    std::vector<std::string> columns;
    for (const std::string& strCaption : text.front())
        columns.push_back(COdbcExport::MakeColumnName(strCaption));
    text.erase(text.begin());
    for (auto& row : text) {
        for (auto& cell : row)
            cell = Stored(cell);
    }
    ExpectReadersAgree(strMdb, columns, text);
    EXPECT_TRUE(TempFolderIsEmpty());
}

TEST_F(AccessExport, AwkwardCellsReadBackAsTheTextExportShowsThem)
{
    std::string strCjk;
    std::string strAccents;
    for (int i = 0; i < 85; ++i)
        strCjk += "\xE4\xB8\xAD"; // 255 bytes
    for (int i = 0; i < 130; ++i)
        strAccents += "\xC3\xA9"; // 260 bytes: the read cuts the last character in two
    const auto list =
        MakeList({{"Name"}, {" Start-Date "}, {"Time"}, {"E-mail Address"}, {"Notes"}},
                 {{"O'Brien", "it's ''quoted''", "say \"hi\"", "a,b,,c", ""},
                  {"", "   ", "\t tab \r\n",
                   "Ren\xC3\xA9"
                   "e \xC3\x86r\xC3\xB8",
                   "\xE4\xB8\xAD\xE6\x96\x87 and \xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4"},
                  {std::string(255, 'x'), std::string(300, 'y'), "emoji \xF0\x9F\x98\x80 here",
                   strCjk, strAccents},
                  {"  padded  ", "x\x01y\x7Fz", "last", "\xF0\x9F\x8E\x89", "'"}});
    const std::string strPath = m_dir.File("awkward.mdb");
    CString strError;
    ASSERT_EQ(COdbcExport().ExportAccess("KorvaneData", strPath, *list, strError), 1) << strError;
    ExpectReadersAgree(strPath, {"Name", "Start_Date", "Date_Time", "E_mail_Address", "Notes"},
                       StoredRows(*list));
    EXPECT_TRUE(TempFolderIsEmpty());

    // "Date" and "Time" both become Date_Time, which a table cannot have twice.
    const auto both = MakeList({{"Date"}, {"Time"}}, {{"1", "2"}});
    const std::string strRefused = m_dir.File("refused.mdb");
    try {
        COdbcExport().ExportAccess("KorvaneData", strRefused, *both, strError);
        ADD_FAILURE() << "a table with Date_Time twice was written";
    } catch (const CDatabaseException& e) {
        EXPECT_EQ(e.GetErrorMessage(),
                  "[Microsoft Access Driver (*.mdb)] The column [Date_Time] "
                  "appears more than once in the table [KorvaneData].");
    }
    EXPECT_FALSE(std::filesystem::exists(strRefused));
    EXPECT_TRUE(TempFolderIsEmpty());
}

TEST_F(AccessExport, HundredThousandRowsAcrossManyPages)
{
    constexpr int kRows = 100000;
    std::vector<std::vector<std::string>> rows;
    rows.reserve(kRows);
    for (int i = 0; i < kRows; ++i)
        rows.push_back({"row " + std::to_string(i), "host-" + std::to_string(i) + ".example.com",
                        std::to_string(i * 7919 % 100003)});
    const auto list = MakeList({{"Row"}, {"Host"}, {"Code"}}, rows);
    const std::string strPath = m_dir.File("large.mdb");
    CString strError;
    ASSERT_EQ(COdbcExport().ExportAccess("KorvaneData", strPath, *list, strError), 1) << strError;
    // More data pages than an inline usage map covers.
    EXPECT_GT(std::filesystem::file_size(strPath) / 4096, 1000u);
    ExpectReadersAgree(strPath, {"Row", "Host", "Code"}, rows);
    EXPECT_TRUE(TempFolderIsEmpty());
}

TEST_F(AccessExport, ARowTooLargeIsRefusedAndNothingIsWritten)
{
    std::string strTemplate;
    std::string strLine;
    std::string strMacrons;
    for (int i = 0; i < 127; ++i)
        strMacrons += "\xC4\x81";
    for (int j = 0; j < 17; ++j) {
        strTemplate += (j > 0 ? "|" : "") + std::string("<$$c") + std::to_string(j) + "$$>";
        strLine += (j > 0 ? "|" : "") + strMacrons;
    }
    const std::string strOut = m_dir.File("large-row.mdb");
    const std::string strCommand = std::string(KORVANE_BIN_DIR) + "/korvane-cli --template " +
        ShellQuote(m_dir.Write("t.txt", strTemplate + "\r\n")) + " --data " +
        ShellQuote(m_dir.Write("d.txt", strLine + "\r\n")) + " --allowed-chars '^|' -o " +
        ShellQuote(strOut);
    EXPECT_EQ(RunCapture("{ " + strCommand + "; echo \"exit $?\"; }"),
              "korvane-cli: [Microsoft Access Driver (*.mdb)] Row 1 takes 4361 bytes; a row of an "
              "Access table takes at most 4060.\nexit 1\n");
    EXPECT_FALSE(std::filesystem::exists(strOut));
    EXPECT_TRUE(TempFolderIsEmpty());
}
