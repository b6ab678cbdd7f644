// korvane-cli under faults: two runs adding to one report at once, a run
// ended by a signal at several points of every format, a lack of memory at
// every step, and an output that is one of the inputs.
#include "support/Shell.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace {

const std::string kCli = std::string(KORVANE_BIN_DIR) + "/korvane-cli";

class FaultsCliTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_strTemplate = m_dir.Write("t.txt", "Id: <$$id$$>\r\nName: <$$name$$>");
        std::string strData;
        for (int i = 0; i < 4000; ++i)
            strData += "Id: " + std::to_string(i) + "\r\nName: n" + std::to_string(i) + "\r\n";
        m_strData = m_dir.Write("d.txt", strData);
        std::filesystem::create_directory(m_dir.File("out"));
    }

    // The command line of a run writing to out/NAME, with a test hook.
    std::string Command(const std::string& strName, const std::string& strHook = "") const
    {
        return (strHook.empty() ? "" : "KORVANE_TEST_HOOK=" + strHook + " ") + ShellQuote(kCli) +
            " --template " + ShellQuote(m_strTemplate) + " --data " + ShellQuote(m_strData) +
            " -o " + ShellQuote(m_dir.File("out/" + strName));
    }

    // The files in out/, named and sorted.
    std::vector<std::string> Files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_dir.File("out")))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    CTempDir m_dir;
    std::string m_strTemplate;
    std::string m_strData;
};

int Status(const std::string& strCommand)
{
    const int nRaw = std::system(strCommand.c_str());
    return WIFEXITED(nRaw) ? WEXITSTATUS(nRaw) : -1;
}

} // namespace

TEST_F(FaultsCliTest, TwoRunsAddingToOneReportAtOnceKeepEveryRow)
{
    // Runs long enough to overlap.
    std::string strData;
    for (int i = 0; i < 40000; ++i)
        strData += "Id: " + std::to_string(i) + "\r\nName: n" + std::to_string(i) + "\r\n";
    m_strData = m_dir.Write("d.txt", strData);
    const std::string strBoth = "(" + Command("r.html") + " & " + Command("r.html") + " & wait)";
    for (int nTry = 0; nTry < 3; ++nTry) {
        std::filesystem::remove(m_dir.File("out/r.html"));
        ASSERT_EQ(Status(strBoth), 0);
        const std::string strReport = CTempDir::Read(m_dir.File("out/r.html"));
        EXPECT_EQ(strReport.substr(8, 10), "<!080000>\n") << "try " << nTry;
        EXPECT_EQ(Files(), std::vector<std::string>{"r.html"});
    }
}

TEST_F(FaultsCliTest, ASignalLeavesTheOldFileOrTheNewOneAndNothingElse)
{
    // The old file is one the format replaces (a report is added to); the
    // run is ended after its first bytes, in the middle and near the end.
    for (const char* pszName :
         {"x.txt", "x.csv", "x.xml", "x.html", "x.json", "x.xlsx", "x.sqlite", "x.xls", "x.mdb"}) {
        const std::string strPath = m_dir.File(std::string("out/") + pszName);
        const bool bReport = std::string(pszName) == "x.html";
        for (const char* pszAfter : {"1", "20000", "70000"}) {
            if (bReport)
                ASSERT_EQ(Status(Command(pszName) + " 2>/dev/null"), 0);
            else
                m_dir.Write(std::string("out/") + pszName, "old");
            const std::string strOld = CTempDir::Read(strPath);
            const int nStatus =
                Status(Command(pszName, std::string("signal:") + pszAfter) + " 2>/dev/null");
            const bool bOld = CTempDir::Read(strPath) == strOld;
            EXPECT_TRUE(nStatus == 0 || nStatus == 143) << pszName << " " << nStatus;
            EXPECT_EQ(bOld, nStatus == 143) << pszName << " after " << pszAfter;
            EXPECT_EQ(Files(), std::vector<std::string>{pszName}) << pszName << " " << pszAfter;
            std::filesystem::remove(strPath);
        }
    }
}

TEST_F(FaultsCliTest, OutOfMemoryIsAMessageAtEveryStep)
{
    for (const char* pszStep : {"template", "parse", "write"}) {
        m_dir.Write("out/x.xml", "old");
        const std::string strErr = m_dir.File("err.txt");
        const int nStatus =
            Status(Command("x.xml", std::string("nomem:") + pszStep) + " 2>" + ShellQuote(strErr));
        EXPECT_EQ(nStatus, 1) << pszStep;
        EXPECT_TRUE(std::regex_search(CTempDir::Read(strErr),
                                      std::regex("^korvane-cli: out of memory while .+\n$")))
            << CTempDir::Read(strErr);
        EXPECT_EQ(CTempDir::Read(m_dir.File("out/x.xml")), "old");
        EXPECT_EQ(Files(), std::vector<std::string>{"x.xml"});
    }
}

TEST_F(FaultsCliTest, AnOutputThatIsAnInputIsRefused)
{
    std::filesystem::create_symlink(m_strData, m_dir.File("out/link.txt"));
    const std::string strBefore = CTempDir::Read(m_strData);
    for (const std::string& strOut :
         {m_strData, m_dir.File("out/link.txt"), m_dir.File("out/../d.txt"), m_strTemplate}) {
        const std::string strErr = m_dir.File("err.txt");
        const int nStatus = Status(ShellQuote(kCli) + " --template " + ShellQuote(m_strTemplate) +
                                   " --data " + ShellQuote(m_strData) + " -o " +
                                   ShellQuote(strOut) + " 2>" + ShellQuote(strErr));
        EXPECT_EQ(nStatus, 1) << strOut;
        EXPECT_NE(CTempDir::Read(strErr).find(strOut), std::string::npos) << strOut;
    }
    EXPECT_EQ(CTempDir::Read(m_strData), strBefore);
}
