// .xlsx: what openpyxl and LibreOffice find in the workbook, the limit of a
// cell, and a failed save that leaves nothing behind.
#include "export/XlsxRowSink.h"

#include "support/AwkwardList.h"
#include "support/FormatReaders.h"
#include "support/TempDir.h"
#include "export/ListExporter.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const std::string kNul("\0", 1);

} // namespace

TEST(XlsxRowSink, OpenpyxlAndLibreOfficeFindEveryCell)
{
    if (!HaveOpenpyxl())
        GTEST_SKIP() << "/usr/bin/python3 with openpyxl is not available";
    // Past the awkward rows: cells cut at 32,767 characters (UTF-16 units,
    // so an emoji that would take the 32,768th stays out), and a NUL.
    auto rows = awkward::Rows();
    rows.push_back(
        {std::string(40000, 'b'), awkward::Repeat(awkward::kEmoji, 20000), "nul" + kNul + "byte"});
    const auto pList = MakeList(awkward::Columns(), rows);
    CRows expected = awkward::RepairedRows();
    expected.push_back(
        {std::string(32767, 'b'), awkward::Repeat(awkward::kEmoji, 16383), "nul" + kNul + "byte"});
    CRows sheet = expected;
    sheet.insert(sheet.begin(),
                 {"Name", "Time", "Date", " Start-Date ", "", "Notes", "Name", "name"});

    const CTempDir dir;
    const std::string strPath = dir.File("awkward.xlsx");
    CString strError;
    ASSERT_EQ(
        CListExporter().SaveToFile(strPath, ESaveFormat::Xlsx, *pList, "KorvaneData", strError), 1)
        << strError;
    EXPECT_EQ(RunReadFormats("xlsx", strPath),
              "sheet KorvaneData frozen A2 filter A1:H7 bold\n" + DumpRows(sheet));

    if (!HaveLibreOffice())
        GTEST_SKIP() << "LibreOffice (soffice) is not available to read the file";
    // LibreOffice keeps a line break in a cell as LF alone.
    sheet[1][6] = "crlf\nbreak";
    const std::vector<std::string> csv = ConvertToCsv({strPath}, dir.File("csv"));
    EXPECT_EQ(RunReadXls("csv", csv), "file " + csv[0] + "\n" + DumpRows(sheet));
}

TEST(XlsxRowSink, ReplacesItsTargetOnlyWhenComplete)
{
    const CTempDir dir;
    const auto pList = MakeList({{"a"}}, {{"1"}, {"2"}});
    // A file behind a symbolic link is replaced, with its mode, and the link
    // stays.
    const std::string strReal = dir.Write("real.xlsx", "old");
    ::chmod(strReal.c_str(), 0640);
    const std::string strLink = dir.File("link.xlsx");
    std::filesystem::create_symlink(strReal, strLink);
    CString strError;
    ASSERT_EQ(
        CListExporter().SaveToFile(strLink, ESaveFormat::Xlsx, *pList, "KorvaneData", strError), 1)
        << strError;
    EXPECT_TRUE(std::filesystem::is_symlink(strLink));
    EXPECT_EQ(CTempDir::Read(strReal).substr(0, 2), "PK");
    struct stat st
    {};
    ASSERT_EQ(::stat(strReal.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // Rows that stop before their end leave the old file and nothing else.
    const std::string strOld = dir.Write("old.xlsx", "keep me");
    {
        CXlsxRowSink sink(strOld, "KorvaneData", false);
        ASSERT_TRUE(sink.BeginRows({{"a", 0}}));
        const std::string_view cell = "x";
        ASSERT_TRUE(sink.AddRow(&cell, -1));
    }
    EXPECT_EQ(CTempDir::Read(strOld), "keep me");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              3);

    const std::string strMissing = dir.File("missing/x.xlsx");
    EXPECT_EQ(
        CListExporter().SaveToFile(strMissing, ESaveFormat::Xlsx, *pList, "KorvaneData", strError),
        0);
    EXPECT_EQ(strError, "Cannot write \"" + strMissing + "\": No such file or directory");
}

TEST(XlsxRowSink, ASheetRefusesRowsPastItsLimit)
{
    if (!HaveOpenpyxl())
        GTEST_SKIP() << "/usr/bin/python3 with openpyxl is not available";
    const CTempDir dir;
    const std::string strPath = dir.File("limit.xlsx");
    const std::string_view cells[] = {"1", "2", "3"};
    {
        // The captions and two rows fill a sheet of three.
        CXlsxRowSink sink(strPath, "KorvaneData", false, 3);
        ASSERT_TRUE(sink.BeginRows({{"n", 0}}));
        EXPECT_TRUE(sink.AddRow(&cells[0], -1));
        EXPECT_TRUE(sink.AddRow(&cells[1], -1));
        EXPECT_TRUE(sink.EndRows()) << sink.GetError();
    }
    const std::string strFull = "sheet KorvaneData frozen A2 filter A1:A3 bold\nn\n1\n2\n";
    EXPECT_EQ(RunReadFormats("xlsx", strPath), strFull);
    {
        // One more is refused, and the old workbook stays.
        CXlsxRowSink sink(strPath, "KorvaneData", false, 3);
        ASSERT_TRUE(sink.BeginRows({{"n", 0}}));
        EXPECT_TRUE(sink.AddRow(&cells[0], -1));
        EXPECT_TRUE(sink.AddRow(&cells[1], -1));
        EXPECT_FALSE(sink.AddRow(&cells[2], -1));
        EXPECT_EQ(sink.GetError(),
                  "Cannot write \"" + strPath +
                      "\": An Excel worksheet (.xlsx) holds at most 3 rows, the "
                      "column names included, and this table has more. Save it "
                      "as .csv or .sqlite instead.");
        EXPECT_FALSE(sink.EndRows());
    }
    EXPECT_EQ(RunReadFormats("xlsx", strPath), strFull);
}
