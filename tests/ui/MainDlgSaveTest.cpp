// Save As from the window onto files that hold something: the loaded data
// and template files, an HTML report and any other page.
#include "ui/MainDlg.h"

#include "MainDlgFixture.h"
#include "support/TempDir.h"
#include "res/Resource.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::string kSamples = std::string(KORVANE_BIN_DIR) + "/Sample1/";

class MainDlgSaveTest : public CMainDlgFixture
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(CMainDlgFixture::SetUp());
        m_strData = CTempDir::Read(kSamples + "login_to_url.txt");
        m_fake.fileDialog.Answer(m_dir.Write("data.txt", m_strData));
        m_dlg.SendCommand(ID_FILE_LOADDATA);
        m_fake.fileDialog.Answer(
            m_dir.Write("template.txt", CTempDir::Read(kSamples + "login_to_url_template.txt")));
        m_dlg.SendCommand(ID_FILE_LOADTEMPLATE);
        m_dlg.SendCommand(IDC_BUTTON_PARSE);
        ASSERT_EQ(m_dlg.m_listResult.GetItemCount(), 7);
    }
    void SaveAs(const std::string& strPath)
    {
        m_fake.fileDialog.Answer(strPath);
        m_dlg.SendCommand(ID_FILE_SAVEAS);
    }
    // The row count a report keeps in its second line.
    static std::string CountLine(const std::string& strPath)
    {
        const std::string strReport = CTempDir::Read(strPath);
        const size_t nFirst = strReport.find('\n');
        return strReport.substr(nFirst + 1, strReport.find('\n', nFirst + 1) - nFirst - 1);
    }

    CTempDir m_dir;
    std::string m_strData;
};

} // namespace

TEST_F(MainDlgSaveTest, TheLoadedDataFileIsReplacedOnlyWhenTheUserAgrees)
{
    // A link to it is the same file.
    std::filesystem::create_symlink(m_dir.File("data.txt"), m_dir.File("link.txt"));
    m_fake.messageBox.m_answers = {false};
    SaveAs(m_dir.File("link.txt"));
    ASSERT_EQ(m_fake.messageBox.m_questions.size(), 1u);
    EXPECT_EQ(m_fake.messageBox.m_questions[0],
              "\"link.txt\" is the loaded data file. Replace it with the table?");
    EXPECT_EQ(CTempDir::Read(m_dir.File("data.txt")), m_strData);
    EXPECT_TRUE(m_dlg.m_bRowsUnsaved);

    // So is a path through "..": Yes replaces it with the table.
    std::filesystem::create_directory(m_dir.File("sub"));
    m_fake.messageBox.m_answers = {true};
    SaveAs(m_dir.File("sub/../data.txt"));
    EXPECT_EQ(m_fake.messageBox.m_questions.size(), 2u);
    const std::string strTable = CTempDir::Read(m_dir.File("data.txt"));
    EXPECT_EQ(strTable.substr(0, 39), "https://mail.northwind-traders.com/owa/");
    EXPECT_FALSE(m_dlg.m_bRowsUnsaved);

    // The loaded template is kept alike; any other file is not asked about.
    m_fake.messageBox.m_answers = {false};
    SaveAs(m_dir.File("template.txt"));
    ASSERT_EQ(m_fake.messageBox.m_questions.size(), 3u);
    EXPECT_EQ(m_fake.messageBox.m_questions[2],
              "\"template.txt\" is the loaded template file. Replace it with the table?");
    m_dir.Write("other.txt", "old");
    SaveAs(m_dir.File("other.txt"));
    EXPECT_EQ(m_fake.messageBox.m_questions.size(), 3u);
    EXPECT_EQ(CTempDir::Read(m_dir.File("other.txt")), strTable);
}

TEST_F(MainDlgSaveTest, AReportGetsTheRowsAddedOrIsReplacedAsTheUserChooses)
{
    const std::string strReport = m_dir.File("r.html");
    SaveAs(strReport);
    EXPECT_TRUE(m_fake.messageBox.m_questions.empty());
    EXPECT_EQ(CountLine(strReport), "<!000007>");

    m_fake.messageBox.m_choices = {EAddOrReplace::Add};
    SaveAs(strReport);
    ASSERT_EQ(m_fake.messageBox.m_questions.size(), 1u);
    EXPECT_EQ(m_fake.messageBox.m_questions[0],
              "Add the rows to the report \"r.html\", or replace it?");
    EXPECT_EQ(CountLine(strReport), "<!000014>");

    m_fake.messageBox.m_choices = {EAddOrReplace::Replace};
    SaveAs(strReport);
    EXPECT_EQ(CountLine(strReport), "<!000007>");

    const std::string strBefore = CTempDir::Read(strReport);
    m_fake.messageBox.m_choices = {EAddOrReplace::Cancel};
    m_dlg.m_bRowsUnsaved = true;
    SaveAs(strReport);
    EXPECT_EQ(CTempDir::Read(strReport), strBefore);
    EXPECT_TRUE(m_dlg.m_bRowsUnsaved);
    EXPECT_TRUE(m_fake.messageBox.m_shown.empty());

    // A page this program did not write: the save dialog's overwrite prompt
    // was the question, and its answer holds.
    const std::string strPage = m_dir.Write("page.html", "<html><body>mine</body></html>\n");
    SaveAs(strPage);
    EXPECT_EQ(m_fake.messageBox.m_questions.size(), 3u);
    EXPECT_EQ(CountLine(strPage), "<!000007>");
    EXPECT_TRUE(m_fake.messageBox.m_shown.empty());
}
