#include "cli/KorvaneCli.h"

#include "CliRun.h"
#include "support/Shell.h"
#include "support/SqliteQuery.h"
#include "support/TempDir.h"
#include "export/ListExporter.h"
#include "framework/ListCtrl.h"
#include "framework/Sink.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

namespace {

class CliTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_strTemplate = m_dir.Write("t.txt", "Name: <$$name$$>\r\nAge: <$$age$$>\r\n");
        m_strData = m_dir.Write("d.txt", "Name: Ann\r\nAge: 31\r\nName: Bob, Jr\r\nAge: 42\r\n");
    }
    std::vector<std::string> Base() const
    {
        return {"--template", m_strTemplate, "--data", m_strData};
    }

    CTempDir m_dir;
    std::string m_strTemplate;
    std::string m_strData;
};

} // namespace

TEST_F(CliTest, PrintsTheTabTextWithLf)
{
    const CCliRun run = RunTool(Base());
    EXPECT_EQ(run.nStatus, 0) << run.strErr;
    EXPECT_EQ(run.strOut, "Ann\t31\nBob\t42\n");

    std::vector<std::string> args = Base();
    args.push_back("--header");
    EXPECT_EQ(RunTool(args).strOut, "name\tage\nAnn\t31\nBob\t42\n");
}

TEST_F(CliTest, SettingsReachTheParse)
{
    const std::string tmpl = m_dir.Write("t2.txt", "Name: [[name{$$ -~$$}]]\r\n");
    const CCliRun run =
        RunTool({"--template", tmpl, "--data", m_strData, "--start-tag", "[[", "--end-tag=]]"});
    EXPECT_EQ(run.nStatus, 0) << run.strErr;
    EXPECT_EQ(run.strOut, "Ann\nBob, Jr\n");

    const CCliRun digits = RunTool({"--template", m_strTemplate, "--data", m_strData,
                                    "--allowed-chars", "A-Z", "--crcl", ";"});
    EXPECT_EQ(digits.strOut, "A\t\nB\t\n");
}

TEST_F(CliTest, OutputFileFormatFromExtensionOrFormat)
{
    std::vector<std::string> args = Base();
    args.insert(args.end(), {"--header", "-o", m_dir.File("out.csv")});
    EXPECT_EQ(RunTool(args).nStatus, 0);
    EXPECT_EQ(CTempDir::Read(m_dir.File("out.csv")), "name,age\r\nAnn,31\r\nBob,42\r\n");

    args = Base();
    args.insert(args.end(), {"--output", m_dir.File("out.dat"), "--format", "csv"});
    EXPECT_EQ(RunTool(args).nStatus, 0);
    EXPECT_EQ(CTempDir::Read(m_dir.File("out.dat")), "Ann,31\r\nBob,42\r\n");

    args = Base();
    args.insert(args.end(), {"-o", m_dir.File("noext")});
    EXPECT_EQ(RunTool(args).nStatus, 0);
    EXPECT_EQ(CTempDir::Read(m_dir.File("noext")), "Ann\t31\r\nBob\t42\r\n");
}

TEST_F(CliTest, UsageErrorsExitTwo)
{
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--template", m_strTemplate},
        {"--bogus"},
        {"--template"},
        {"--template", m_strTemplate, "--data", m_strData, "--format", "PDF"},
        {"--template", m_strTemplate, "--data", m_strData, "--header", "--format", "XML"},
        {"--template", m_strTemplate, "--data", m_strData, "--format", "XLS"},
    };
    for (const auto& args : bad) {
        const CCliRun run = RunTool(args);
        EXPECT_EQ(run.nStatus, 2);
        EXPECT_NE(run.strErr.find("usage: korvane-cli"), std::string::npos);
        EXPECT_EQ(run.strOut, "");
    }
    EXPECT_EQ(RunTool({"--help"}).nStatus, 0);
}

TEST_F(CliTest, FileErrorsExitOneAndWriteNothing)
{
    const CCliRun missing = RunTool({"--template", m_dir.File("nope.txt"), "--data", m_strData});
    EXPECT_EQ(missing.nStatus, 1);
    EXPECT_EQ(missing.strOut, "");
    EXPECT_NE(missing.strErr.find("nope.txt"), std::string::npos);
    EXPECT_NE(missing.strErr.find("No such file"), std::string::npos);
    EXPECT_EQ(std::count(missing.strErr.begin(), missing.strErr.end(), '\n'), 1);

    // An existing output file survives a failed run untouched.
    const std::string out = m_dir.Write("keep.txt", "precious");
    const CCliRun failed =
        RunTool({"--template", m_dir.File("nope.txt"), "--data", m_strData, "-o", out});
    EXPECT_EQ(failed.nStatus, 1);
    EXPECT_EQ(CTempDir::Read(out), "precious");

    std::vector<std::string> args = Base();
    args.insert(args.end(), {"-o", m_dir.File("no/such/dir/out.txt")});
    const CCliRun unwritable = RunTool(args);
    EXPECT_EQ(unwritable.nStatus, 1);
    EXPECT_NE(unwritable.strErr.find("no/such/dir/out.txt"), std::string::npos);
}

TEST_F(CliTest, TextOfALargeFileIsWhatSaveAsWritesForTheParsedList)
{
    // Large enough to be read in several pieces, with cells that CSV must
    // quote, records whose first field is missing and a Windows-1252 byte.
    const CCaseFiles files = WriteLargeCaseFiles(m_dir, ", \"x\"");
    CListCtrl list;
    ASSERT_NO_FATAL_FAILURE(ParseWithDefaults(files, list));
    ASSERT_GT(list.GetItemCount(), 20000);
    const CListExporter exporter;
    for (const char* pszExt : {"txt", "csv"}) {
        const char chSeparator = pszExt[0] == 'c' ? ',' : '\t';
        for (bool bHeader : {false, true}) {
            CStringSink fileText;
            ASSERT_TRUE(exporter.WriteDelimited(list, chSeparator, bHeader, true, fileText, false));
            CStringSink stdoutText;
            ASSERT_TRUE(
                exporter.WriteDelimited(list, chSeparator, bHeader, false, stdoutText, false));

            std::vector<std::string> args = files.args;
            args.insert(args.end(), {"--format", pszExt});
            if (bHeader)
                args.push_back("--header");
            const CCliRun toStdout = RunTool(args);
            EXPECT_EQ(toStdout.nStatus, 0) << toStdout.strErr;
            EXPECT_TRUE(toStdout.strOut == stdoutText.GetText()) << pszExt << " to standard output";
            const std::string strOut = m_dir.File(std::string("big-out.") + pszExt);
            args.insert(args.end(), {"-o", strOut});
            EXPECT_EQ(RunTool(args).nStatus, 0);
            EXPECT_TRUE(CTempDir::Read(strOut) == fileText.GetText()) << pszExt << " to a file";
        }
    }

    // A data file that cannot be read leaves the output file as it was.
    const std::string strKeep = m_dir.Write("keep.csv", "precious");
    const CCliRun missing = RunTool(
        {"--template", files.strTemplatePath, "--data", m_dir.File("none.txt"), "-o", strKeep});
    EXPECT_EQ(missing.nStatus, 1);
    EXPECT_NE(missing.strErr.find("none.txt"), std::string::npos);
    EXPECT_EQ(CTempDir::Read(strKeep), "precious");
}

TEST_F(CliTest, HtmlReportByExtensionOrFormatAddsOnEachRun)
{
    std::vector<std::string> args = Base();
    args.insert(args.end(), {"-o", m_dir.File("out.html")});
    const CCliRun first = RunTool(args);
    EXPECT_EQ(first.nStatus, 0) << first.strErr;
    EXPECT_EQ(first.strOut, "");
    EXPECT_EQ(RunTool(args).nStatus, 0);
    const std::string html = CTempDir::Read(m_dir.File("out.html"));
    EXPECT_EQ(html.substr(8, 10), "<!000004>\n");
    EXPECT_NE(html.find(">Bob</FONT><TD WIDTH=\"50%\""), std::string::npos);
    EXPECT_EQ(html.substr(html.size() - 7), "</HTML>");

    args = Base();
    args.insert(args.end(), {"-o", m_dir.File("report.dat"), "--format", "html"});
    EXPECT_EQ(RunTool(args).nStatus, 0);
    EXPECT_EQ(CTempDir::Read(m_dir.File("report.dat")).substr(0, 18), "<!0671>\n<!000002>\n");

    // A file that is not a report stays as it was.
    const std::string other = m_dir.Write("other.html", "<p>mine</p>");
    args = Base();
    args.insert(args.end(), {"-o", other});
    const CCliRun refused = RunTool(args);
    EXPECT_EQ(refused.nStatus, 1);
    EXPECT_NE(refused.strErr.find(other), std::string::npos);
    EXPECT_EQ(CTempDir::Read(other), "<p>mine</p>");
}

#ifdef KORVANE_TEST_ODBC
TEST_F(CliTest, SpreadsheetAndDatabaseThroughOdbc)
{
    if (!HaveSqlite3())
        GTEST_SKIP() << "sqlite3 is not available";
    const std::pair<const char*, const char*> outputs[] = {
        {"out.xls", nullptr}, {"out.mdb", nullptr}, {"sheet.dat", "XLS"}, {"base.dat", "mdb"}};
    for (const auto& [pszName, pszFormat] : outputs) {
        std::vector<std::string> args = Base();
        args.insert(args.end(), {"-o", m_dir.File(pszName)});
        if (pszFormat != nullptr)
            args.insert(args.end(), {"--format", pszFormat});
        const CCliRun run = RunTool(args);
        EXPECT_EQ(run.nStatus, 0) << run.strErr;
        EXPECT_EQ(QuerySqlite(m_dir.File(pszName), "select * from KorvaneData"), "Ann|31\nBob|42\n")
            << pszName;
    }
}

TEST_F(CliTest, RefusedStatementEndsWithTheDriversMessage)
{
    const std::string tmpl = m_dir.Write("td.txt", "At <$$Time$$> on <$$Date$$>\r\n");
    const std::string data = m_dir.Write("dd.txt", "At 09:00 on 2024-01-01\r\n");
    const CCliRun run = RunTool({"--template", tmpl, "--data", data, "-o", m_dir.File("t.xls")});
    EXPECT_EQ(run.nStatus, 1);
    EXPECT_NE(run.strErr.find("duplicate column name: Date_Time"), std::string::npos) << run.strErr;
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("t.xls")));
}
#endif

TEST(CliBinary, ExitCodesAndSamples)
{
    const std::string bin = std::string(KORVANE_BIN_DIR) + "/korvane-cli";
    const std::string samples = std::string(KORVANE_BIN_DIR) + "/Sample1/";
    const auto status = [](const std::string& command) {
        const int nRaw = std::system((command + " >/dev/null 2>&1").c_str());
        return WIFEXITED(nRaw) ? WEXITSTATUS(nRaw) : -1;
    };
    EXPECT_EQ(status(bin + " --template " + samples + "login_to_url_template.txt --data " +
                     samples + "login_to_url.txt"),
              0);
    EXPECT_EQ(status(bin + " --template /nonexistent --data /nonexistent"), 1);
    EXPECT_EQ(status(bin + " --nonsense"), 2);

    int nExit = -1;
    const std::string out =
        RunCommand(bin + " --header --template " + samples + "login_to_url_template.txt --data " +
                       samples + "login_to_url.txt",
                   &nExit);
    ASSERT_EQ(nExit, 0);
    EXPECT_EQ(out.substr(0, out.find('\n')), "Site\tLogin\tPassword\tLast Used\tNotes");
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 8);
}
