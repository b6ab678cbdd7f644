#include "framework/Platform.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <vector>

// A build folder has the samples beside the executable; an installed program
// has them in share/korvane/ of the prefix, whose file name stands for the
// executable there, so that the sample folder and the help path follow it.
TEST(SharedFilesPath, BesideTheExecutableOrInShareBesideBin)
{
    struct CCase
    {
        std::vector<std::string> folders;
        const char* pszExecutable;
        const char* pszExpected;
    };
    const CCase cases[] = {
        // Beside the executable wins over the installed folder.
        {{"prefix/bin/Sample1", "prefix/share/korvane"},
         "prefix/bin/korvane",
         "prefix/bin/korvane"},
        // An installed program finds share beside bin.
        {{"usr/bin", "usr/share/korvane"}, "usr/bin/korvane", "usr/share/korvane/korvane"},
        {{"usr/bin", "usr/share/korvane"}, "usr/bin/korvane-cli", "usr/share/korvane/korvane-cli"},
        // Without either folder the executable stays.
        {{"opt/bin", "opt/share/other"}, "opt/bin/korvane", "opt/bin/korvane"},
    };
    for (const CCase& c : cases) {
        CTempDir dir;
        for (const std::string& strFolder : c.folders)
            std::filesystem::create_directories(dir.Path() / strFolder);
        EXPECT_EQ(platform::SharedFilesPathFor(dir.File(c.pszExecutable)), dir.File(c.pszExpected))
            << c.pszExecutable;
    }
}

TEST(SharedFilesPath, WithoutTheFolderTheExecutableStays)
{
    CTempDir dir;
    std::filesystem::create_directories(dir.Path() / "opt/bin");
    std::filesystem::create_directories(dir.Path() / "opt/share");
    const CString strExecutable = dir.File("opt/bin/korvane");
    // A file named like the folder is no folder.
    dir.Write("opt/share/korvane", "");
    EXPECT_EQ(platform::SharedFilesPathFor(strExecutable), strExecutable);
    EXPECT_EQ(platform::SharedFilesPathFor("korvane"), "korvane");
    EXPECT_EQ(platform::SharedFilesPathFor("bin/korvane"), "bin/korvane");
    EXPECT_EQ(platform::SharedFilesPathFor(""), "");
}
