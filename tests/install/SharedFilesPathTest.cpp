#include "framework/Platform.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

void MakeFolder(const CTempDir& dir, const std::string& strPath)
{
    std::filesystem::create_directories(dir.Path() / strPath);
}

} // namespace

// A build folder has the samples beside the executable; an installed program
// has them in share/korvane/ of the prefix, whose file name stands for the
// executable there, so that the sample folder and the help path follow it.
TEST(SharedFilesPath, BesideTheExecutableWinsOverTheInstalledFolder)
{
    CTempDir dir;
    MakeFolder(dir, "prefix/bin/Sample1");
    MakeFolder(dir, "prefix/share/korvane");
    const CString strExecutable = dir.File("prefix/bin/korvane");
    EXPECT_EQ(platform::SharedFilesPathFor(strExecutable), strExecutable);
}

TEST(SharedFilesPath, AnInstalledProgramFindsShareBesideBin)
{
    CTempDir dir;
    MakeFolder(dir, "usr/bin");
    MakeFolder(dir, "usr/share/korvane");
    EXPECT_EQ(platform::SharedFilesPathFor(dir.File("usr/bin/korvane")),
              dir.File("usr/share/korvane/korvane"));
    EXPECT_EQ(platform::SharedFilesPathFor(dir.File("usr/bin/korvane-cli")),
              dir.File("usr/share/korvane/korvane-cli"));
}

TEST(SharedFilesPath, WithoutEitherFolderTheExecutableStays)
{
    CTempDir dir;
    MakeFolder(dir, "opt/bin");
    MakeFolder(dir, "opt/share/other");
    const CString strExecutable = dir.File("opt/bin/korvane");
    EXPECT_EQ(platform::SharedFilesPathFor(strExecutable), strExecutable);
    // A file named like the folder is no folder.
    dir.Write("opt/share/korvane", "");
    EXPECT_EQ(platform::SharedFilesPathFor(strExecutable), strExecutable);
    EXPECT_EQ(platform::SharedFilesPathFor("korvane"), "korvane");
    EXPECT_EQ(platform::SharedFilesPathFor("bin/korvane"), "bin/korvane");
    EXPECT_EQ(platform::SharedFilesPathFor(""), "");
}
