// What korvane-cli tells besides the table: the parse report, the strict
// exit status, help and version; and --replace for HTML reports.
#include "cli/KorvaneCli.h"

#include "CliRun.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class CliReportTest : public ::testing::Test
{
protected:
    std::vector<std::string> Args(const std::string& strData) const
    {
        return {"--template", m_strTemplate, "--data", m_dir.Write("d.txt", strData)};
    }

    CTempDir m_dir;
    std::string m_strTemplate = m_dir.Write("t.txt", "Name: <$$name$$>\r\nMail: <$$mail$$>\r\n--");
};

} // namespace

TEST_F(CliReportTest, StrictExitsThreeWhenTheParseStopsAndTheReportSaysWhere)
{
    std::vector<std::string> args =
        Args("Name: a\r\nMail: a@x\r\n--\r\nName: b\r\nMail: b@x\r\nNotes\r\n");
    args.insert(args.end(), {"--report", "--strict"});
    const CCliRun stopped = RunTool(args);
    EXPECT_EQ(stopped.nStatus, 3);
    EXPECT_EQ(stopped.strOut, "a\ta@x\nb\tb@x\n"); // the output is written as usual
    EXPECT_NE(stopped.strErr.find("stopped at data line 6: template line 3 expects \"--\", the "
                                  "data has \"Notes\""),
              std::string::npos)
        << stopped.strErr;

    args = Args("Name: a\r\nMail: a@x\r\n--\r\n");
    args.insert(args.end(), {"--report=json", "--strict"});
    const CCliRun good = RunTool(args);
    EXPECT_EQ(good.nStatus, 0);
    EXPECT_EQ(good.strErr.rfind("{\"source\":", 0), 0u) << good.strErr;
    EXPECT_NE(good.strErr.find("\"records\":1,\"values\":2,\"end\":\"end-of-data\""),
              std::string::npos);
    EXPECT_EQ(std::count(good.strErr.begin(), good.strErr.end(), '\n'), 1);

    // No row at all is a short parse too; without --strict the status is 0.
    EXPECT_EQ(RunTool(Args("nothing here\r\nat all\r\nhere")).nStatus, 0);
    args = Args("nothing here\r\nat all\r\nhere");
    args.push_back("--strict");
    EXPECT_EQ(RunTool(args).nStatus, 3);
}

TEST_F(CliReportTest, HelpAndVersion)
{
    const CCliRun help = RunTool({"--help"});
    EXPECT_EQ(help.nStatus, 0);
    for (const char* pszOption :
         {"--template", "--data", "--start-tag", "--end-tag", "--allowed-chars", "--crcl",
          "--output", "--format", "--header", "--replace", "--report", "--strict", "--version",
          "XML", "Exit status", "Examples"})
        EXPECT_NE(help.strOut.find(pszOption), std::string::npos) << pszOption;
    const CCliRun version = RunTool({"-V"});
    EXPECT_EQ(version.nStatus, 0);
    EXPECT_EQ(version.strOut, "korvane-cli (Korvane) 2.5\n");
    EXPECT_EQ(RunTool({"--report=xml", "--template", "t", "--data", "d"}).nStatus, 2);
    EXPECT_EQ(RunTool({"--strict=1", "--template", "t", "--data", "d"}).nStatus, 2);
}

TEST_F(CliReportTest, ReplaceStartsANewHtmlReport)
{
    const std::string strReport = m_dir.File("r.html");
    std::vector<std::string> args = Args("Name: a\r\nMail: a@x\r\n--\r\n");
    args.insert(args.end(), {"-o", strReport});
    ASSERT_EQ(RunTool(args).nStatus, 0);
    ASSERT_EQ(RunTool(args).nStatus, 0);
    EXPECT_EQ(CTempDir::Read(strReport).substr(8, 10), "<!000002>\n");
    args.push_back("--replace");
    ASSERT_EQ(RunTool(args).nStatus, 0);
    EXPECT_EQ(CTempDir::Read(strReport).substr(8, 10), "<!000001>\n");

    // Another file is replaced only when asked.
    const std::string strOther = m_dir.Write("other.html", "<p>mine</p>");
    std::vector<std::string> other = Args("Name: a\r\nMail: a@x\r\n--\r\n");
    other.insert(other.end(), {"-o", strOther});
    EXPECT_EQ(RunTool(other).nStatus, 1);
    EXPECT_EQ(CTempDir::Read(strOther), "<p>mine</p>");
    other.push_back("--replace");
    const CCliRun replaced = RunTool(other);
    EXPECT_EQ(replaced.nStatus, 0) << replaced.strErr;
    EXPECT_EQ(CTempDir::Read(strOther).substr(8, 10), "<!000001>\n");
    // --replace is for HTML only.
    other.back() = "--header";
    other.push_back("--replace");
    other[other.size() - 3] = m_dir.File("x.txt");
    EXPECT_EQ(RunTool(other).nStatus, 2);
}
