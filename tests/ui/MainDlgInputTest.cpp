// The main window's keys, menus, dropped files and closing.
#include "ui/MainDlg.h"

#include "MainDlgFixture.h"
#include "support/RecordingPrintDevice.h"
#include "support/TempDir.h"
#include "framework/qt/ListView.h"
#include "framework/qt/MultiLineEdit.h"
#include "res/Resource.h"

#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

const std::string kSamples = std::string(KORVANE_BIN_DIR) + "/Sample1/";
const CString kDiscardSeven = "Discard the 7 rows of the result list?";

class MainDlgInputTest : public CMainDlgFixture
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(CMainDlgFixture::SetUp());
        m_dlg.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_dlg));
    }
    void TearDown() override
    {
        m_bTornDown = true;
        m_fake.messageBox.m_answers.clear();
        CMainDlgFixture::TearDown();
    }

    CListView* View() { return m_dlg.findChild<CListView*>("IDC_LIST_RESULT"); }
    void Parse()
    {
        m_dlg.SendCommand(IDC_BUTTON_PARSE);
        ASSERT_EQ(m_dlg.m_listResult.GetItemCount(), 7);
    }
    void SelectRow(int nRow)
    {
        const QRect rect = View()->visualRect(View()->model()->index(nRow, 0));
        QTest::mouseClick(View()->viewport(), Qt::LeftButton, {}, rect.center());
    }
    // Runs check once the next pop-up menu is open.
    void OnNextPopup(const std::function<void(QMenu*)>& check)
    {
        QTimer::singleShot(0, &m_dlg, [this, check] {
            if (m_bTornDown)
                return;
            auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (pMenu == nullptr) {
                OnNextPopup(check);
                return;
            }
            check(pMenu);
        });
    }
    // Drags a file over a widget and drops it at pos (the widget's
    // coordinates); returns whether the drag was taken.
    static bool DropFile(QWidget* pWidget, const QPoint& pos, const std::string& strPath)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(strPath))});
        QDragEnterEvent enter(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pWidget, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(pos), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pWidget, &drop);
        return drop.isAccepted();
    }

    bool m_bTornDown = false;
};

} // namespace

TEST_F(MainDlgInputTest, ShortcutKeysRunTheirCommands)
{
    QLineEdit* pTag = Find<QLineEdit>("IDC_EDIT_START_TAG");
    pTag->setFocus();
    QTest::keyClick(pTag, Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(pTag, Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(m_fake.fileDialog.m_requests.size(), 2u);
    EXPECT_EQ(m_fake.fileDialog.m_requests[0].strInitialDir, kSamples + "login_to_url.txt");
    EXPECT_EQ(m_fake.fileDialog.m_requests[1].strInitialDir,
              kSamples + "login_to_url_template.txt");

    Parse();
    QTest::keyClick(pTag, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(m_fake.fileDialog.m_requests.size(), 3u);
    EXPECT_FALSE(m_fake.fileDialog.m_requests[2].bOpen);
    QTest::keyClick(pTag, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(m_fake.printDialog.m_nRuns, 1);
    QTest::keyClick(pTag, Qt::Key_F1);
    EXPECT_EQ(m_fake.help.m_opened.size(), 1u);

    // Ctrl+C is Copy Row in the list only; in a box it copies the box's text.
    CMultiLineEdit* pData = Find<CMultiLineEdit>("IDC_EDIT_DATA");
    pData->setFocus();
    QTest::keyClick(pData, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(m_fake.clipboard.m_nSetCount, 0);
    SelectRow(1);
    View()->setFocus();
    QTest::keyClick(View(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(m_fake.clipboard.m_nSetCount, 1);
    EXPECT_EQ(m_fake.clipboard.m_strText.substr(0, 35), "https://portal.azurefield.net/signi");

    // Ctrl+Q is Close, which asks first here: the rows were not kept.
    m_fake.messageBox.m_answers.push_back(false);
    QTest::keyClick(View(), Qt::Key_Q, Qt::ControlModifier);
    ASSERT_EQ(m_fake.messageBox.m_questions.size(), 1u);
    EXPECT_TRUE(m_dlg.isVisible());
}

TEST_F(MainDlgInputTest, AltFAndF10OpenTheFileMenuAndEscapeClosesOnlyTheMenu)
{
    Parse();
    for (const bool bF10 : {false, true}) {
        SCOPED_TRACE(bF10 ? "F10" : "Alt+F");
        // The offscreen platform hands the activation to a pop-up menu and
        // not back; a desktop's window stays active under its menus.
        QApplication::setActiveWindow(&m_dlg);
        QString strTitle;
        OnNextPopup([&strTitle](QMenu* pMenu) {
            strTitle = pMenu->title();
            QTest::keyClick(pMenu, Qt::Key_Escape);
        });
        if (bF10)
            QTest::keyClick(&m_dlg, Qt::Key_F10);
        else
            QTest::keyClick(&m_dlg, Qt::Key_F, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !strTitle.isEmpty(); }));
        EXPECT_EQ(strTitle, "&File");
        EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() == nullptr; }));
        EXPECT_TRUE(m_dlg.isVisible());
        // The first Escape left the menu bar highlighted; the second leaves
        // the menu bar, and the window stays.
        QApplication::setActiveWindow(&m_dlg);
        QTest::keyClick(m_dlg.GetMenuBar(), Qt::Key_Escape);
        EXPECT_TRUE(m_dlg.isVisible());
    }
    EXPECT_TRUE(m_fake.messageBox.m_questions.empty());
}

TEST_F(MainDlgInputTest, EscapeThatClosesTheContextMenuGoesNoFurther)
{
    Parse();
    const QRect row = View()->visualRect(View()->model()->index(2, 0));
    // Escape in the menu itself, and Escape that the window system hands to
    // the window while the menu is open (as when the menu could not grab
    // the keyboard).
    for (const bool bToWindow : {false, true}) {
        SCOPED_TRACE(bToWindow ? "key to the window" : "key to the menu");
        bool bShown = false;
        OnNextPopup([this, &bShown, bToWindow](QMenu* pMenu) {
            bShown = true;
            QTest::keyClick(bToWindow ? static_cast<QWidget*>(View()) : pMenu, Qt::Key_Escape);
            // A menu the key did not close would hold the test.
            EXPECT_FALSE(pMenu->isVisible());
            pMenu->close();
        });
        m_fake.messageBox.m_answers = {false};
        QTest::mouseClick(View()->viewport(), Qt::RightButton, {}, row.center());
        EXPECT_TRUE(bShown);
        EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() == nullptr; }));
        EXPECT_TRUE(m_dlg.isVisible());
    }
    EXPECT_TRUE(m_fake.messageBox.m_questions.empty());
}

TEST_F(MainDlgInputTest, ClosingAsksBeforeRowsThatWereNotKeptAreLost)
{
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"Escape", [this] { QTest::keyClick(View(), Qt::Key_Escape); }},
        {"Close", [this] { m_dlg.SendCommand(ID_FILE_CLOSE); }},
        {"the window's close button", [this] { m_dlg.close(); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.first);
        m_dlg.show();
        Parse();
        m_fake.messageBox.m_questions.clear();
        m_fake.messageBox.m_answers = {false, true};
        way.second();
        ASSERT_EQ(m_fake.messageBox.m_questions.size(), 1u);
        EXPECT_EQ(m_fake.messageBox.m_questions[0], kDiscardSeven);
        EXPECT_TRUE(m_dlg.isVisible());
        way.second();
        EXPECT_EQ(m_fake.messageBox.m_questions.size(), 2u);
        EXPECT_FALSE(m_dlg.isVisible());
    }

    // One row left: the question says so. No rows: no question.
    m_dlg.show();
    Parse();
    m_fake.messageBox.m_questions.clear();
    for (int i = 0; i < 6; ++i) {
        SelectRow(0);
        m_dlg.SendCommand(ID_FILE_DELETEROW);
    }
    m_fake.messageBox.m_answers = {false};
    m_dlg.SendCommand(ID_FILE_CLOSE);
    ASSERT_EQ(m_fake.messageBox.m_questions.size(), 1u);
    EXPECT_EQ(m_fake.messageBox.m_questions[0], "Discard the 1 row of the result list?");
    m_dlg.SendCommand(ID_FILE_DELETELISTCONTENT);
    m_dlg.SendCommand(ID_FILE_CLOSE);
    EXPECT_EQ(m_fake.messageBox.m_questions.size(), 1u);
    EXPECT_FALSE(m_dlg.isVisible());
}

TEST_F(MainDlgInputTest, RowsSavedCopiedAsAWholeOrPrintedCloseWithoutAQuestion)
{
    CTempDir dir;
    auto pLog = std::make_shared<CPrintLog>();
    struct Case
    {
        const char* pszName;
        std::function<void()> keep;
        bool bAsks;
    };
    const Case cases[] = {
        {"Copy All", [this] { m_dlg.SendCommand(ID_FILE_COPYALL); }, false},
        {"Copy Row",
         [this] {
             SelectRow(0);
             m_dlg.SendCommand(ID_FILE_COPYROW);
         },
         true},
        {"Save As that wrote a file",
         [&] {
             m_fake.fileDialog.Answer(dir.File("rows.csv"));
             m_dlg.SendCommand(ID_FILE_SAVEAS);
         },
         false},
        {"Save As cancelled",
         [&] {
             m_fake.fileDialog.Cancel();
             m_dlg.SendCommand(ID_FILE_SAVEAS);
         },
         true},
        {"Save As that failed",
         [&] {
             m_fake.fileDialog.Answer(dir.File("missing/rows.csv"));
             m_dlg.SendCommand(ID_FILE_SAVEAS);
         },
         true},
        {"Print that printed",
         [&] {
             m_fake.printDialog.Answer(
                 [pLog]() { return std::make_unique<CRecordingPrintDevice>(pLog); });
             m_dlg.SendCommand(ID_FILE_PRINT);
         },
         false},
        {"Print cancelled",
         [&] {
             m_fake.printDialog.Cancel();
             m_dlg.SendCommand(ID_FILE_PRINT);
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        m_dlg.show();
        Parse();
        c.keep();
        // Deleting rows afterwards loses nothing that was kept.
        SelectRow(0);
        m_dlg.SendCommand(ID_FILE_DELETEROW);
        m_fake.messageBox.m_questions.clear();
        m_fake.messageBox.m_answers = {false};
        m_dlg.SendCommand(ID_FILE_CLOSE);
        EXPECT_EQ(m_fake.messageBox.m_questions.size(), c.bAsks ? 1u : 0u);
        EXPECT_EQ(m_dlg.isVisible(), c.bAsks);
    }
    EXPECT_TRUE(std::filesystem::exists(dir.File("rows.csv")));

    // A new Parse Data makes new rows that were not kept.
    m_dlg.show();
    Parse();
    m_dlg.SendCommand(ID_FILE_COPYALL);
    Parse();
    m_fake.messageBox.m_questions.clear();
    m_dlg.SendCommand(ID_FILE_CLOSE);
    EXPECT_EQ(m_fake.messageBox.m_questions.size(), 1u);
}

TEST_F(MainDlgInputTest, AFileDroppedOnAGroupLoadsAsLoadTemplateOrLoadDataWould)
{
    CTempDir dir;
    const std::string strTemplate = dir.Write("t.log", "A: <$$a$$>\n");
    const std::string strData = dir.Write("d", "A: 1\nA: 2\n");
    QWidget* pTemplateEdit = Find<CMultiLineEdit>("IDC_EDIT_TEMPLATE")->viewport();
    EXPECT_TRUE(DropFile(pTemplateEdit, QPoint(20, 20), strTemplate));
    EXPECT_EQ(m_dlg.m_strLoadedTemplate, "A: <$$a$$>\r\n\r\n");
    EXPECT_EQ(m_dlg.m_strTemplatePath, strTemplate);
    EXPECT_EQ(Find<QLineEdit>("IDC_EDIT_TEMPLATE_PATH")->text().toStdString(), strTemplate);

    // On the data path box, and on the group's bare frame next to its check box.
    EXPECT_TRUE(DropFile(Find<QLineEdit>("IDC_EDIT_DATA_PATH"), QPoint(5, 5), strData));
    EXPECT_EQ(m_dlg.m_strLoadedData, "A: 1\r\nA: 2\r\n\r\n");
    const QRect check = m_dlg.GetDlgItem(IDC_CHECK_PARSE_FROM_EDIT)->geometry();
    const std::string strData2 = dir.Write("d2.txt", "A: 3\n");
    EXPECT_TRUE(DropFile(m_dlg.GetClient(), check.topRight() + QPoint(20, 5), strData2));
    EXPECT_EQ(m_dlg.m_strDataPath, strData2);
    m_dlg.SendCommand(IDC_BUTTON_PARSE);
    EXPECT_EQ(m_dlg.m_listResult.GetItemCount(), 1);

    // Outside the two groups a file is not taken.
    const QRect list = View()->geometry();
    EXPECT_FALSE(DropFile(m_dlg.GetClient(), list.center(), strTemplate));

    // A file that cannot be read: the message of Load Data, and nothing lost.
    const std::string strMissing = dir.File("gone.txt");
    m_fake.fileDialog.Answer(strMissing);
    m_dlg.SendCommand(ID_FILE_LOADDATA);
    EXPECT_TRUE(
        DropFile(Find<CMultiLineEdit>("IDC_EDIT_DATA")->viewport(), QPoint(9, 9), strMissing));
    ASSERT_EQ(m_fake.messageBox.m_shown.size(), 2u);
    EXPECT_EQ(m_fake.messageBox.m_shown[1].strText, m_fake.messageBox.m_shown[0].strText);
    EXPECT_EQ(m_fake.messageBox.m_shown[1].icon, EMessageIcon::Exclamation);
    EXPECT_EQ(m_dlg.m_strDataPath, strData2);
    EXPECT_EQ(m_dlg.m_strLoadedData, "A: 3\r\n\r\n");
}
