#include "export/ListExporter.h"

#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "framework/ListCtrl.h"
#include "framework/Platform.h"

#include <gtest/gtest.h>

namespace {

// Save As through the file dialog, with the list a test fills.
class SaveAs : public ::testing::Test
{
protected:
    CFakePlatform m_fake;
    CTempDir m_dir;
    CListCtrl m_list;
    const CListExporter m_exporter{};
};

} // namespace

TEST_F(SaveAs, TextFilesGetCrLfOnDisk)
{
    m_list.InsertColumn(0, "a");
    m_list.InsertColumn(1, "b");
    m_list.InsertItem(0, "x");
    m_list.SetItemText(0, 1, "two\nlines");
    m_list.InsertItem(1, "y,z");

    m_fake.fileDialog.Answer(m_dir.File("out"), 1);
    m_fake.fileDialog.Answer(m_dir.File("out"), 2);
    EXPECT_EQ(m_exporter.SaveAs(m_list, "KorvaneData"), 1);
    EXPECT_EQ(m_exporter.SaveAs(m_list, "KorvaneData"), 1);
    EXPECT_EQ(CTempDir::Read(m_dir.File("out.txt")), "x\ttwo\r\nlines\r\ny,z\t\r\n");
    EXPECT_EQ(CTempDir::Read(m_dir.File("out.csv")), "x,\"two\r\nlines\"\r\n\"y,z\",\r\n");
    ASSERT_EQ(m_fake.fileDialog.m_requests.size(), 2u);
    EXPECT_FALSE(m_fake.fileDialog.m_requests[0].bOpen);
    EXPECT_EQ(m_fake.fileDialog.m_requests[0].strFilter, SaveDialogFilter());
    EXPECT_EQ(SaveDialogFilter().substr(0, 178),
              "Text (Tab delimited) (*.txt)|*.txt|CSV (Comma delimited) (*.csv)|*.csv|Excel "
              "Workbook (*.xls)|*.xls|Access Database (*.mdb)|*.mdb|Web Page (*.html)|*.html|Xml "
              "Data (*.xml)|*.xml|");
    EXPECT_TRUE(m_fake.messageBox.m_shown.empty());
}

TEST_F(SaveAs, EmptyListGivesAnEmptyFileAndCancelWritesNothing)
{
    m_list.InsertColumn(0, "Fields After Parsing");
    m_fake.fileDialog.Answer(m_dir.File("empty.txt"));
    EXPECT_EQ(m_exporter.SaveAs(m_list, "KorvaneData"), 1);
    EXPECT_EQ(CTempDir::Read(m_dir.File("empty.txt")), "");
    m_fake.fileDialog.Cancel();
    EXPECT_EQ(m_exporter.SaveAs(m_list, "KorvaneData"), 1);
}

TEST_F(SaveAs, UnwritableFileShowsTheReasonAndKeepsTheOldFile)
{
    m_list.InsertColumn(0, "a");
    m_list.InsertItem(0, "x");

    m_fake.fileDialog.Answer("/nonexistent-dir/out.txt");
    EXPECT_EQ(m_exporter.SaveAs(m_list, "KorvaneData"), 0);
    ASSERT_EQ(m_fake.messageBox.m_shown.size(), 1u);
    EXPECT_NE(m_fake.messageBox.m_shown[0].strText.find("/nonexistent-dir/out.txt"), CString::npos);

    // The path is an existing folder: nothing inside it is touched.
    const std::string folder = m_dir.File("folder.txt");
    std::filesystem::create_directory(folder);
    m_fake.fileDialog.Answer(folder);
    EXPECT_EQ(m_exporter.SaveAs(m_list, "KorvaneData"), 0);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}
