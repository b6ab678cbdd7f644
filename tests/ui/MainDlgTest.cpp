#include "ui/MainDlg.h"

#include "MainDlgFixture.h"
#include "support/ListDump.h"
#include "support/RecordingPrintDevice.h"
#include "support/TempDir.h"
#include "engine/ParseCommand.h"
#include "framework/qt/ListView.h"
#include "framework/qt/MultiLineEdit.h"
#include "res/Resource.h"
#include "ui/MainApp.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const std::string kSamples = std::string(KORVANE_BIN_DIR) + "/Sample1/";

class MainDlgTest : public CMainDlgFixture
{
protected:
    CListView* View() { return Find<CListView>("IDC_LIST_RESULT"); }
    QLineEdit* Line(const char* pszName) { return Find<QLineEdit>(pszName); }
    CMultiLineEdit* Edit(const char* pszName) { return Find<CMultiLineEdit>(pszName); }

    // Selects a row as a user clicking on it does.
    void ClickRow(int nRow)
    {
        CListView* pView = View();
        const QRect rect = pView->visualRect(pView->model()->index(nRow, 0));
        QTest::mouseClick(pView->viewport(), Qt::LeftButton, {}, rect.center());
    }
};

} // namespace

TEST_F(MainDlgTest, StartUpShowsDefaultsPathsAndSamples)
{
    EXPECT_EQ(Line("IDC_EDIT_START_TAG")->text(), "<$$");
    EXPECT_EQ(Line("IDC_EDIT_END_TAG")->text(), "$$>");
    EXPECT_EQ(Line("IDC_EDIT_ALLOWED_CHARS")->text(), "0-9-a-z-A-Z-@-.-:-/-_");
    EXPECT_EQ(Line("IDC_EDIT_CRCL")->text(), "\\r\\n");
    EXPECT_FALSE(Find<QCheckBox>("IDC_CHECK_PARSE_FROM_EDIT")->isChecked());
    EXPECT_EQ(Line("IDC_EDIT_TEMPLATE_PATH")->text().toStdString(),
              kSamples + "login_to_url_template.txt");
    EXPECT_EQ(Line("IDC_EDIT_DATA_PATH")->text().toStdString(), kSamples + "login_to_url.txt");
    EXPECT_TRUE(Edit("IDC_EDIT_TEMPLATE")->toPlainText().startsWith("Site:"));
    EXPECT_TRUE(Edit("IDC_EDIT_DATA")->toPlainText().contains("northwind-traders"));
    EXPECT_EQ(m_dlg.m_strLoadedTemplate.substr(m_dlg.m_strLoadedTemplate.size() - 5), "-\r\n\r\n");
    EXPECT_EQ(DumpList(m_dlg.m_listResult), "Fields After Parsing\n");
    EXPECT_EQ(View()->horizontalHeader()->sectionSize(0), 530);
    EXPECT_EQ(m_dlg.windowTitle(), "Korvane");
    EXPECT_TRUE(View()->showGrid());
}

TEST_F(MainDlgTest, MenuBarHasTheItemsIdsAccessKeysAndShortcuts)
{
    QStringList items;
    // The menus of the bar (not the overflow menu of a narrow bar).
    for (QAction* pMenuAction : m_dlg.GetMenuBar()->actions()) {
        const QMenu* pMenu = pMenuAction->menu();
        ASSERT_NE(pMenu, nullptr);
        items << pMenu->title();
        for (QAction* pAction : pMenu->actions()) {
            QString item = pAction->text() + "=" + pAction->data().toString();
            if (!pAction->shortcut().isEmpty())
                item += " " + pAction->shortcut().toString();
            if (pAction->isCheckable())
                item += pAction->isChecked() ? " [x]" : " [ ]";
            items << (pAction->isSeparator() ? QStringLiteral("-") : item);
        }
    }
    EXPECT_EQ(items.join('|').toStdString(),
              "&File|Copy &Row=32771 Ctrl+C|Copy &All...=32772|-|&Save As...=32773 Ctrl+S|-|"
              "&Print...=57607 Ctrl+P|-|&Delete Row ( Del )=32778|Delete List Co&ntent=32784|-|"
              "Load &Template=32775 Ctrl+Shift+O|&Load Data=32776 Ctrl+O|-|&Close...=57602 Ctrl+Q|"
              "&View|Live &Preview=32790 [x]|&Help|&Help Topics...=32783 F1|-|Product "
              "&Page=32779|-|&About=32780");
}

TEST_F(MainDlgTest, ParseDataFillsColumnsAndRowsAndKeepsColumnsTheSecondTime)
{
    m_dlg.SendCommand(IDC_BUTTON_PARSE);
    CListView* pView = View();
    ASSERT_EQ(pView->model()->columnCount(), 5);
    EXPECT_EQ(pView->model()->headerData(3, Qt::Horizontal).toString(), "Last Used");
    EXPECT_EQ(pView->model()->rowCount(), 7);
    EXPECT_EQ(pView->model()->index(1, 1).data().toString(), "andrew.fuller");
    EXPECT_EQ(pView->horizontalHeader()->sectionSize(2), 120);

    // The user widens a column; a second run with the same template keeps it.
    pView->horizontalHeader()->resizeSection(2, 200);
    EXPECT_EQ(m_dlg.m_listResult.GetColumnWidth(2), 200);
    QTest::mouseClick(Find<QPushButton>("IDC_BUTTON_PARSE"), Qt::LeftButton);
    EXPECT_EQ(pView->horizontalHeader()->sectionSize(2), 200);
    EXPECT_EQ(pView->model()->rowCount(), 7);
}

TEST_F(MainDlgTest, TheCheckBoxSwitchesBothTexts)
{
    Edit("IDC_EDIT_TEMPLATE")->setPlainText("<$$a$$> <$$b$$>");
    Edit("IDC_EDIT_DATA")->setPlainText("1 2\n3 4");
    // Switch off: the typed texts have no effect.
    m_dlg.SendCommand(IDC_BUTTON_PARSE);
    EXPECT_EQ(m_dlg.m_listResult.GetColumnCount(), 5);

    Find<QCheckBox>("IDC_CHECK_PARSE_FROM_EDIT")->setChecked(true);
    m_dlg.SendCommand(IDC_BUTTON_PARSE);
    EXPECT_EQ(DumpList(m_dlg.m_listResult), "a|b\n1|2\n3|4\n");
    EXPECT_EQ(m_dlg.m_strTemplateText, "<$$a$$> <$$b$$>");
    EXPECT_EQ(m_dlg.m_strDataText, "1 2\r\n3 4");
}

TEST_F(MainDlgTest, EnterInASettingBoxParsesEnterInATextBoxBreaksTheLine)
{
    QLineEdit* pTag = Line("IDC_EDIT_START_TAG");
    pTag->setFocus();
    QTest::keyClick(pTag, Qt::Key_Return);
    EXPECT_EQ(m_dlg.m_listResult.GetItemCount(), 7);

    CMultiLineEdit* pEdit = Edit("IDC_EDIT_DATA");
    pEdit->setFocus();
    m_dlg.SendCommand(ID_FILE_DELETELISTCONTENT);
    const int nLines = pEdit->document()->blockCount();
    QTest::keyClick(pEdit, Qt::Key_Return);
    EXPECT_EQ(pEdit->document()->blockCount(), nLines + 1);
    EXPECT_EQ(m_dlg.m_listResult.GetItemCount(), 0);
}

TEST_F(MainDlgTest, CopyRowAndCopyAll)
{
    m_dlg.SendCommand(ID_FILE_COPYROW); // no selection: the clipboard is untouched
    EXPECT_EQ(m_fake.clipboard.m_nSetCount, 0);
    m_dlg.SendCommand(ID_FILE_COPYALL); // no rows: an empty text
    EXPECT_EQ(m_fake.clipboard.m_nSetCount, 1);
    EXPECT_EQ(m_fake.clipboard.m_strText, "");

    m_dlg.SendCommand(IDC_BUTTON_PARSE);
    ClickRow(2);
    m_dlg.SendCommand(ID_FILE_COPYROW);
    EXPECT_EQ(m_fake.clipboard.m_strText,
              "https://intranet.contoso.local/hr/timesheets\tCONTOSO/nancy.davolio\t"
              "S3pt_2023-Autumn\t2024-03-08T09:00:03\tExpires every 90 days");
    m_dlg.SendCommand(ID_FILE_COPYALL);
    EXPECT_EQ(
        std::count(m_fake.clipboard.m_strText.begin(), m_fake.clipboard.m_strText.end(), '\n'), 7);
    EXPECT_EQ(m_fake.clipboard.m_strText.back(), '\n');
}

TEST_F(MainDlgTest, DelKeyAndDeleteRowRemoveTheSelectedRow)
{
    m_dlg.SendCommand(IDC_BUTTON_PARSE);
    CListView* pView = View();
    QTest::keyClick(pView, Qt::Key_Delete); // nothing selected yet
    EXPECT_EQ(m_dlg.m_listResult.GetItemCount(), 7);

    ClickRow(0);
    QTest::keyClick(pView, Qt::Key_Delete);
    EXPECT_EQ(m_dlg.m_listResult.GetItemCount(), 6);
    EXPECT_EQ(m_dlg.m_listResult.GetItemText(0, 1), "andrew.fuller");
    EXPECT_EQ(m_dlg.m_listResult.GetNextSelectedItem(-1), -1);
    EXPECT_TRUE(pView->selectionModel()->selectedRows().isEmpty());

    ClickRow(5);
    m_dlg.SendCommand(ID_FILE_DELETEROW);
    EXPECT_EQ(m_dlg.m_listResult.GetItemCount(), 5);
    EXPECT_EQ(pView->model()->rowCount(), 5);

    m_dlg.SendCommand(ID_FILE_DELETELISTCONTENT);
    EXPECT_EQ(DumpList(m_dlg.m_listResult), "Site|Login|Password|Last Used|Notes\n");
}

TEST_F(MainDlgTest, RightClickOpensTheFileMenuAndItsItemsWork)
{
    m_dlg.SendCommand(IDC_BUTTON_PARSE);
    ClickRow(1);
    QStringList shown;
    QTimer::singleShot(0, [&shown] {
        auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(pMenu, nullptr);
        for (QAction* pAction : pMenu->actions()) {
            if (!pAction->isSeparator())
                shown << pAction->text();
        }
        for (QAction* pAction : pMenu->actions()) {
            if (pAction->data().toInt() == ID_FILE_COPYROW) {
                pMenu->setActiveAction(pAction);
                QTest::keyClick(pMenu, Qt::Key_Return);
                return;
            }
        }
    });
    CListView* pView = View();
    const QRect rect = pView->visualRect(pView->model()->index(5, 0));
    QTest::mouseClick(pView->viewport(), Qt::RightButton, {}, rect.center());
    EXPECT_EQ(shown.size(), 9);
    EXPECT_EQ(shown.first(), "Copy &Row");
    EXPECT_EQ(shown.last(), "&Close...");
    // The right click selected row 5, and Copy Row copied it.
    EXPECT_EQ(m_fake.clipboard.m_strText.substr(0, 31), "https://crm.adventure-works.com");
}

TEST_F(MainDlgTest, LoadTemplateReplacesTheTextsOrSaysWhyNot)
{
    CTempDir dir;
    const std::string path = dir.Write("t.txt", "A: <$$a$$>\nB: <$$b$$>\n");
    m_fake.fileDialog.Answer(path);
    m_dlg.SendCommand(ID_FILE_LOADTEMPLATE);
    EXPECT_EQ(m_dlg.m_strLoadedTemplate, "A: <$$a$$>\r\nB: <$$b$$>\r\n\r\n");
    EXPECT_EQ(Edit("IDC_EDIT_TEMPLATE")->toPlainText(), "A: <$$a$$>\nB: <$$b$$>\n\n");
    EXPECT_EQ(Line("IDC_EDIT_TEMPLATE_PATH")->text().toStdString(), path);
    ASSERT_EQ(m_fake.fileDialog.m_requests.size(), 1u);
    EXPECT_TRUE(m_fake.fileDialog.m_requests[0].bOpen);
    EXPECT_EQ(m_fake.fileDialog.m_requests[0].strFilter,
              "Text Files (*.txt)|*.txt|All Files (*)|*||");
    EXPECT_EQ(m_fake.fileDialog.m_requests[0].strInitialDir,
              kSamples + "login_to_url_template.txt");
    EXPECT_EQ(m_dlg.m_listResult.GetColumnCount(), 1); // the list waits for Parse Data

    // A file that cannot be read: a message, and the window as it was.
    m_fake.fileDialog.Answer(dir.File("missing.txt"));
    m_dlg.SendCommand(IDC_BUTTON_LOAD_TEMPLATE);
    ASSERT_EQ(m_fake.messageBox.m_shown.size(), 1u);
    EXPECT_NE(m_fake.messageBox.m_shown[0].strText.find("missing.txt"), CString::npos);
    EXPECT_EQ(m_dlg.m_strLoadedTemplate, "A: <$$a$$>\r\nB: <$$b$$>\r\n\r\n");
    EXPECT_EQ(Line("IDC_EDIT_TEMPLATE_PATH")->text().toStdString(), path);

    // Cancel changes nothing, and typed edits elsewhere survive.
    Line("IDC_EDIT_END_TAG")->setText("]]");
    m_fake.fileDialog.Cancel();
    m_dlg.SendCommand(ID_FILE_LOADDATA);
    EXPECT_EQ(Line("IDC_EDIT_END_TAG")->text(), "]]");
    EXPECT_EQ(Line("IDC_EDIT_DATA_PATH")->text().toStdString(), kSamples + "login_to_url.txt");
}

TEST_F(MainDlgTest, SaveAsWritesByTheExtension)
{
    CTempDir dir;
    m_dlg.SendCommand(IDC_BUTTON_PARSE);
    m_fake.fileDialog.Answer(dir.File("logins"), 2);
    m_dlg.SendCommand(ID_FILE_SAVEAS);
    const std::string csv = CTempDir::Read(dir.File("logins.csv"));
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")),
              "https://mail.northwind-traders.com/owa/,j.fuller@northwind-traders.com,Wq7-kd3_PzL9,"
              "2024-03-11T08:42:17,\"Shared mailbox, ask IT before changing\"");

    m_fake.fileDialog.Answer(dir.File("logins.txt"), 2);
    m_dlg.SendCommand(ID_FILE_SAVEAS);
    const std::string txt = CTempDir::Read(dir.File("logins.txt"));
    EXPECT_EQ(std::count(txt.begin(), txt.end(), '\t'), 28);
    EXPECT_EQ(txt.substr(txt.size() - 2), "\r\n");
    EXPECT_TRUE(m_fake.messageBox.m_shown.empty());
}

TEST_F(MainDlgTest, PrintDrawsTheListAsShownUnderDataList)
{
    // Nothing to print before a parse: no dialog, and a word why.
    m_dlg.SendCommand(ID_FILE_PRINT);
    EXPECT_EQ(m_fake.printDialog.m_nRuns, 0);
    ASSERT_EQ(m_fake.messageBox.m_shown.size(), 1u);
    EXPECT_EQ(m_fake.messageBox.m_shown[0].strText,
              "The result list has no rows: there is nothing to print.");
    m_fake.messageBox.m_shown.clear();

    m_dlg.SendCommand(IDC_BUTTON_PARSE);
    ClickRow(0);
    m_dlg.SendCommand(ID_FILE_DELETEROW);
    auto pLog = std::make_shared<CPrintLog>();
    m_fake.printDialog.Answer([pLog]() { return std::make_unique<CRecordingPrintDevice>(pLog); });
    m_dlg.SendCommand(ID_FILE_PRINT);
    EXPECT_EQ(m_fake.printDialog.m_nRuns, 1);

    std::string strDrawn;
    for (const CPrintOp& op : pLog->Of(CPrintOp::Text))
        strDrawn += op.strText + (op.nFlags & DT_CENTER ? "|" : ";");
    // Captions, the title, then the six rows left after the deletion.
    std::string strExpected;
    for (int j = 0; j < m_dlg.m_listResult.GetColumnCount(); ++j)
        strExpected += m_dlg.m_listResult.GetColumnCaption(j) + "|";
    strExpected += "Data List|";
    ASSERT_EQ(m_dlg.m_listResult.GetItemCount(), 6);
    for (int i = 0; i < 6; ++i) {
        for (int j = 0; j < m_dlg.m_listResult.GetColumnCount(); ++j)
            strExpected += m_dlg.m_listResult.GetItemText(i, j) + ";";
    }
    EXPECT_EQ(strDrawn, strExpected);
    EXPECT_EQ(strDrawn.substr(0, 5), "Site|");
    EXPECT_TRUE(m_fake.messageBox.m_shown.empty());

    // A cancelled dialog prints nothing.
    pLog->ops.clear();
    m_fake.printDialog.Cancel();
    m_dlg.SendCommand(ID_FILE_PRINT);
    EXPECT_EQ(m_fake.printDialog.m_nRuns, 2);
    EXPECT_TRUE(pLog->ops.empty());
}

TEST_F(MainDlgTest, HelpProductPageAndBanner)
{
    m_dlg.SendCommand(ID_HELP_PRODUCTPAGE);
    QTest::keyClick(&m_dlg, Qt::Key_F1);
    m_dlg.SendCommand(ID_HELP_HELPTOPICS);
    QWidget* pBanner = m_dlg.GetDlgItem(IDC_BANNER);
    QTest::mouseClick(pBanner, Qt::LeftButton, {}, QPoint(20, 20));
    ASSERT_EQ(m_fake.browser.m_opened.size(), 2u);
    EXPECT_NE(m_fake.browser.m_opened[0].find("?utm_source=Korvane_APP&utm_medium=Korvane_APP_PAGE&"
                                              "utm_campaign=Korvane_APP"),
              CString::npos);
    EXPECT_NE(m_fake.browser.m_opened[1].find("utm_medium=Korvane_APP_BANNER"), CString::npos);
    ASSERT_EQ(m_fake.help.m_opened.size(), 2u);
    EXPECT_EQ(m_fake.help.m_opened[0], m_fake.help.m_opened[1]);
    EXPECT_EQ(m_fake.help.m_opened[0].substr(m_fake.help.m_opened[0].size() - 4), ".chm");
    EXPECT_EQ(pBanner->cursor().shape(), Qt::BitmapCursor);
}

TEST_F(MainDlgTest, EscapeAndCloseEndTheDialog)
{
    QSignalSpy rejected(&m_dlg, &QDialog::finished);
    QTest::keyClick(&m_dlg, Qt::Key_Escape);
    EXPECT_EQ(rejected.count(), 1);
    EXPECT_FALSE(m_dlg.isVisible());
    EXPECT_EQ(m_dlg.result(), IDCANCEL);

    m_dlg.show();
    m_dlg.SendCommand(ID_FILE_CLOSE);
    EXPECT_EQ(rejected.count(), 2);
    EXPECT_FALSE(m_dlg.isVisible());
}

TEST(MainApp, HelpPathAndSampleFolder)
{
    EXPECT_EQ(CMainApp::HelpPathFor("/opt/korvane/bin/korvane"), "/opt/korvane/bin/korvane.chm");
    EXPECT_EQ(CMainApp::HelpPathFor("/opt/My.HLP.d/korvane.bin"), "/opt/My.chm.d/korvane.chm");
    EXPECT_EQ(CMainApp::HelpPathFor("/opt/x.hlp/korvane"), "/opt/x.hlp/korvane.chm");
    EXPECT_EQ(CMainDlg::SampleFolderFor("/opt/korvane/korvane"), "/opt/korvane/Sample1/");
    EXPECT_EQ(CMainDlg::SampleFolderFor("/home/korvane/bin/korvane"), "/home/korvane/bin/Sample1/");
}
