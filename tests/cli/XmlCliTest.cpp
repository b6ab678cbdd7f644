// korvane-cli writing the XML document: in process with a pinned clock for
// the bytes, and as the real program for its exit codes.
#include "cli/KorvaneCli.h"

#include "support/PinnedClock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const std::string kExpected =
    "<?xml version=\"1.0\"?>\r\n"
    "<dataroot version=\"2.5.0.0\" vendor=\"Brenlow LLC.\" "
    "url=\"https://brenlow.example?utm_source=Korvane_APP&amp;utm_medium=Korvane_APP&amp;"
    "utm_campaign=Korvane_APP\" mail=\"support@brenlow.example\" "
    "created=\"03/07/2011 14:05:09\" comments=\"Vessock Database File\">\r\n"
    "<ListData>\r\n"
    "<Row image=\"-1\" Name=\"a1\" Some_Col=\"b1\"/>\r\n"
    "<Row image=\"-1\" Name=\"a2\" Some_Col=\"b/2\"/>\r\n"
    "</ListData>\r\n"
    "</dataroot>\r\n";

class XmlCliTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char szTemplate[] = "/tmp/korvane-cli-XXXXXX";
        ASSERT_NE(mkdtemp(szTemplate), nullptr);
        m_dir = szTemplate;
        Write(m_dir / "template.txt", "Name: <$$Name$$>\r\nSome: <$$Some Col$$>\r\n");
        Write(m_dir / "data.txt", "Name: a1\r\nSome: b1\r\nName: a2\r\nSome: b/2\r\n");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    static void Write(const fs::path& path, const std::string& strBytes)
    {
        std::ofstream(path, std::ios::binary) << strBytes;
    }
    static std::string Read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    int Run(std::vector<std::string> args)
    {
        args.insert(args.begin(),
                    {"--template", (m_dir / "template.txt").string(), "--data",
                     (m_dir / "data.txt").string()});
        m_out.str({});
        m_err.str({});
        return RunCli(args, m_out, m_err);
    }

    // Runs the installed program through the shell; its exit status.
    int RunProgram(const std::string& strArgs) const
    {
        const std::string strCommand = std::string(KORVANE_BIN_DIR) + "/korvane-cli --template '" +
            (m_dir / "template.txt").string() + "' --data '" + (m_dir / "data.txt").string() +
            "' " + strArgs + " >'" + (m_dir / "stdout").string() + "' 2>'" +
            (m_dir / "stderr").string() + "'";
        const int nStatus = std::system(strCommand.c_str());
        return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    }

    fs::path m_dir;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(XmlCliTest, OutputFileByItsExtension)
{
    const CPinnedClock clock;
    const fs::path path = m_dir / "list.XML";
    EXPECT_EQ(Run({"-o", path.string()}), 0) << m_err.str();
    EXPECT_EQ(Read(path), kExpected);
    EXPECT_EQ(m_out.str(), "");
}

TEST_F(XmlCliTest, FormatKeyToStandardOutputAndToAFile)
{
    const CPinnedClock clock;
    EXPECT_EQ(Run({"--format", "xml"}), 0) << m_err.str();
    EXPECT_EQ(m_out.str(), kExpected);

    // The key wins over the extension.
    const fs::path path = m_dir / "list.txt";
    EXPECT_EQ(Run({"--format", "XML", "-o", path.string()}), 0) << m_err.str();
    EXPECT_EQ(Read(path), kExpected);
}

TEST_F(XmlCliTest, FailedWriteLeavesNothing)
{
    const fs::path path = m_dir / "missing" / "list.xml";
    EXPECT_EQ(Run({"-o", path.string()}), 1);
    EXPECT_NE(m_err.str().find(path.string()), std::string::npos) << m_err.str();
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(XmlCliTest, ProgramExitCodes)
{
    const fs::path path = m_dir / "out.xml";
    EXPECT_EQ(RunProgram("-o '" + path.string() + "'"), 0) << Read(m_dir / "stderr");
    const std::regex created("created=\"\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d\"");
    const std::string strFile = Read(path);
    EXPECT_TRUE(std::regex_search(strFile, created)) << strFile;
    EXPECT_NE(strFile.find("<Row image=\"-1\" Name=\"a2\" Some_Col=\"b/2\"/>\r\n"),
              std::string::npos);

    EXPECT_EQ(RunProgram("--format XML"), 0);
    EXPECT_EQ(Read(m_dir / "stdout").substr(0, 23), "<?xml version=\"1.0\"?>\r\n");

    EXPECT_EQ(RunProgram("-o '" + (m_dir / "missing" / "x.xml").string() + "'"), 1);
    EXPECT_EQ(RunProgram("--format XML --header"), 2);
    EXPECT_EQ(RunProgram("--format XMLX"), 2);
}

} // namespace
