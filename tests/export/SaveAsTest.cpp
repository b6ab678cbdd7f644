#include "export/ListExporter.h"

#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "framework/ListCtrl.h"
#include "framework/Platform.h"

#include <gtest/gtest.h>

TEST(SaveAs, FormatChoice)
{
    struct CCase
    {
        const char* pszTyped;
        int nFilter;
        const char* pszPath;
        ESaveFormat format;
    };
    const CCase cases[] = {
        {"/d/report", 5, "/d/report.html", ESaveFormat::Html},
        {"/d/report.htm", 5, "/d/report.htm", ESaveFormat::Txt},
        {"/d/a.csv", 1, "/d/a.csv", ESaveFormat::Csv},
        {"/d/Data.Xls", 1, "/d/Data.Xls", ESaveFormat::Xls},
        {"/d/x", 1, "/d/x.txt", ESaveFormat::Txt},
        {"/d/x", 2, "/d/x.csv", ESaveFormat::Csv},
        {"/d/x", 3, "/d/x.xls", ESaveFormat::Xls},
        {"/d/x", 4, "/d/x.mdb", ESaveFormat::Mdb},
        {"/d/x", 6, "/d/x.xml", ESaveFormat::Xml},
        {"/d/x", 11, "/d/x.xml", ESaveFormat::Xml},
        {"/d/x.TEXT", 2, "/d/x.TEXT", ESaveFormat::Txt},
        // A dot in a folder name is not an extension.
        {"/d/v1.2/x", 2, "/d/v1.2/x.csv", ESaveFormat::Csv},
    };
    for (const CCase& c : cases) {
        CString path = c.pszTyped;
        EXPECT_EQ(ChooseSaveFormat(path, c.nFilter), c.format) << c.pszTyped;
        EXPECT_EQ(path, c.pszPath);
    }
}

TEST(SaveAs, TextFilesGetCrLfOnDisk)
{
    CFakePlatform fake;
    CTempDir dir;
    CListCtrl list;
    list.InsertColumn(0, "a");
    list.InsertColumn(1, "b");
    list.InsertItem(0, "x");
    list.SetItemText(0, 1, "two\nlines");
    list.InsertItem(1, "y,z");
    const CListExporter exporter;

    fake.fileDialog.Answer(dir.File("out"), 1);
    fake.fileDialog.Answer(dir.File("out"), 2);
    EXPECT_EQ(exporter.SaveAs(list, "KorvaneData"), 1);
    EXPECT_EQ(exporter.SaveAs(list, "KorvaneData"), 1);
    EXPECT_EQ(CTempDir::Read(dir.File("out.txt")), "x\ttwo\r\nlines\r\ny,z\t\r\n");
    EXPECT_EQ(CTempDir::Read(dir.File("out.csv")), "x,\"two\r\nlines\"\r\n\"y,z\",\r\n");
    ASSERT_EQ(fake.fileDialog.m_requests.size(), 2u);
    EXPECT_FALSE(fake.fileDialog.m_requests[0].bOpen);
    EXPECT_EQ(fake.fileDialog.m_requests[0].strFilter, SaveDialogFilter());
    EXPECT_EQ(SaveDialogFilter().substr(0, 178),
              "Text (Tab delimited) (*.txt)|*.txt|CSV (Comma delimited) (*.csv)|*.csv|Excel "
              "Workbook (*.xls)|*.xls|Access Database (*.mdb)|*.mdb|Web Page (*.html)|*.html|Xml "
              "Data (*.xml)|*.xml|");
    EXPECT_TRUE(fake.messageBox.m_shown.empty());
}

TEST(SaveAs, EmptyListGivesAnEmptyFileAndCancelWritesNothing)
{
    CFakePlatform fake;
    CTempDir dir;
    CListCtrl list;
    list.InsertColumn(0, "Fields After Parsing");
    const CListExporter exporter;
    fake.fileDialog.Answer(dir.File("empty.txt"));
    EXPECT_EQ(exporter.SaveAs(list, "KorvaneData"), 1);
    EXPECT_EQ(CTempDir::Read(dir.File("empty.txt")), "");
    fake.fileDialog.Cancel();
    EXPECT_EQ(exporter.SaveAs(list, "KorvaneData"), 1);
}

TEST(SaveAs, UnwritableFileShowsTheReasonAndKeepsTheOldFile)
{
    CFakePlatform fake;
    CTempDir dir;
    CListCtrl list;
    list.InsertColumn(0, "a");
    list.InsertItem(0, "x");
    const CListExporter exporter;

    fake.fileDialog.Answer("/nonexistent-dir/out.txt");
    EXPECT_EQ(exporter.SaveAs(list, "KorvaneData"), 0);
    ASSERT_EQ(fake.messageBox.m_shown.size(), 1u);
    EXPECT_NE(fake.messageBox.m_shown[0].strText.find("/nonexistent-dir/out.txt"), CString::npos);

    // The path is an existing folder: nothing inside it is touched.
    const std::string folder = dir.File("folder.txt");
    std::filesystem::create_directory(folder);
    fake.fileDialog.Answer(folder);
    EXPECT_EQ(exporter.SaveAs(list, "KorvaneData"), 0);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}
