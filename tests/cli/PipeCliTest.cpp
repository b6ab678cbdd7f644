// korvane-cli in a pipe: data and template from standard input, every
// streaming format to standard output, a reader that goes away, and the
// rows of GNU parallel's pieces put back together.
#include "support/RandomParseCase.h"
#include "support/Shell.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>

namespace {

const std::string kCli = std::string(KORVANE_BIN_DIR) + "/korvane-cli";

std::string Cli(const std::string& strArgs) { return ShellQuote(kCli) + " " + strArgs; }

// The XML "created" time differs from run to run.
std::string WithoutCreated(const std::string& strXml)
{
    return std::regex_replace(strXml, std::regex("created=\"[^\"]*\""), "created=\"\"");
}

// Bytes of a data file as files come: line ends of a kind, a byte-order
// mark, UTF-16, or a Windows-1252 byte late in the file.
std::string Bytes(const std::string& strText, int nVariant)
{
    std::string out;
    switch (nVariant) {
    case 1:
        return std::regex_replace(strText, std::regex("\r\n"), "\n");
    case 2:
        return "\xEF\xBB\xBF" + strText;
    case 3:
        out = "\xFF\xFE";
        for (const char ch : strText)
            out += std::string(1, ch) + '\0';
        return out;
    case 4:
        return strText.substr(0, strText.size() * 7 / 8) + "\xE9" +
            strText.substr(strText.size() * 7 / 8);
    default:
        return strText;
    }
}

} // namespace

TEST(PipeCli, StandardInputGivesTheBytesOfTheFile)
{
    CParseCaseGenerator generator(41);
    const CTempDir dir;
    for (int i = 0; i < 24; ++i) {
        const CParseCase c = generator.Next();
        if (c.strStart.empty() || c.strEnd.empty())
            continue;
        std::string strText;
        for (int r = 0; r < 200; ++r)
            strText += c.strData;
        const std::string strData = dir.Write("d.txt", Bytes(strText, i % 5));
        const std::string strTemplate = dir.Write("t.txt", c.strTemplate);
        const std::string strSettings = " --start-tag " + ShellQuote(c.strStart) + " --end-tag " +
            ShellQuote(c.strEnd) + " --allowed-chars " + ShellQuote(c.strAllowed);
        for (const char* pszFormat : {"TXT", "CSV", "XML"}) {
            const std::string strArgs = strSettings + " --format " + pszFormat;
            const std::string strFromFile =
                RunCommand(Cli("--template " + ShellQuote(strTemplate) + " --data " +
                               ShellQuote(strData) + strArgs));
            const std::string strFromPipe =
                RunCommand("cat " + ShellQuote(strData) + " | " +
                           Cli("--template " + ShellQuote(strTemplate) + " --data -" + strArgs));
            // Standard input that is the file, also from a later byte on.
            const std::string strFromRedirect =
                RunCommand(Cli("--template " + ShellQuote(strTemplate) + " --data -" + strArgs) +
                           " < " + ShellQuote(strData));
            const std::string strFromLater =
                RunCommand("(dd bs=7 count=1 of=/dev/null status=none; " +
                           Cli("--template " + ShellQuote(strTemplate) + " --data -" + strArgs) +
                           ") < " + ShellQuote(strData));
            const std::string strFromTail =
                RunCommand("tail -c +8 " + ShellQuote(strData) + " | " +
                           Cli("--template " + ShellQuote(strTemplate) + " --data -" + strArgs));
            const std::string strTemplateFromPipe =
                RunCommand("cat " + ShellQuote(strTemplate) + " | " +
                           Cli("--template - --data " + ShellQuote(strData) + " -o -" + strArgs));
            EXPECT_EQ(WithoutCreated(strFromPipe), WithoutCreated(strFromFile))
                << "case " << i << " " << pszFormat << ": " << Describe(c);
            EXPECT_EQ(WithoutCreated(strFromRedirect), WithoutCreated(strFromFile))
                << "case " << i << " " << pszFormat;
            EXPECT_EQ(WithoutCreated(strFromLater), WithoutCreated(strFromTail))
                << "case " << i << " " << pszFormat;
            EXPECT_EQ(WithoutCreated(strTemplateFromPipe), WithoutCreated(strFromFile))
                << "case " << i << " " << pszFormat;
        }
    }
}

TEST(PipeCli, FormatsThatNeedAFileSayItAndAGoneReaderEndsQuietly)
{
    const CTempDir dir;
    const std::string strTemplate = dir.Write("t.txt", "<$$n$$>");
    std::string strData;
    for (int i = 0; i < 300000; ++i)
        strData += std::to_string(i) + "\n";
    const std::string strPath = dir.Write("d.txt", strData);
    for (const char* pszFormat : {"XLS", "MDB", "HTML"}) {
        int nStatus = 0;
        RunCommand(Cli("--template " + ShellQuote(strTemplate) + " --data " + ShellQuote(strPath) +
                       " -o - --format " + pszFormat + " 2>/dev/null"),
                   &nStatus);
        EXPECT_EQ(nStatus, 2) << pszFormat;
    }
    // The reader of the output takes one line and goes.
    const std::string strErr = dir.File("err.txt");
    const std::string strStatus =
        RunCommand("bash -c " +
                   ShellQuote(Cli("--template " + ShellQuote(strTemplate) + " --data " +
                                  ShellQuote(strPath) + " 2>" + ShellQuote(strErr) +
                                  " | head -1 >/dev/null; echo ${PIPESTATUS[0]}")));
    EXPECT_EQ(strStatus, "141\n");
    EXPECT_EQ(CTempDir::Read(strErr), "");
}

TEST(PipeCli, GnuParallelPiecesGiveTheRowsOfOneRun)
{
    if (std::system("command -v parallel >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "GNU parallel is not installed";
    // The benchmark's million records, cut at record starts into pieces
    // that two korvane-cli runs parse; --keep-order puts their rows back
    // in the order of the pieces.
    const CTempDir dir;
    const std::string strData = dir.File("logins.txt");
    const std::string strTemplate = dir.File("logins-template.txt");
    int nStatus = 0;
    RunCommand("/usr/bin/python3 " +
                   ShellQuote(std::string(KORVANE_SOURCE_DIR) + "/bench/make_logins.py") + " " +
                   ShellQuote(strData) + " " + ShellQuote(strTemplate) + " 1000000",
               &nStatus);
    ASSERT_EQ(nStatus, 0);
    const std::string strOne = dir.File("one.txt");
    const std::string strMany = dir.File("many.txt");
    RunCommand(Cli("--template " + ShellQuote(strTemplate) + " --data " + ShellQuote(strData) +
                   " -o " + ShellQuote(strOne)),
               &nStatus);
    ASSERT_EQ(nStatus, 0);
    RunCommand("parallel --will-cite --pipe --keep-order -j2 --block 16M --recstart 'URL: ' " +
                   Cli("--template " + ShellQuote(strTemplate) + " --data - -o -") + " <" +
                   ShellQuote(strData) + " >" + ShellQuote(strMany),
               &nStatus);
    ASSERT_EQ(nStatus, 0);
    // A file ends its rows with CR LF, standard output with LF.
    const std::string strExpected =
        std::regex_replace(CTempDir::Read(strOne), std::regex("\r\n"), "\n");
    const std::string strActual = CTempDir::Read(strMany);
    EXPECT_EQ(std::count(strActual.begin(), strActual.end(), '\n'), 1000000);
    EXPECT_TRUE(strActual == strExpected);
}
