#include "framework/qt/DialogBase.h"
#include "framework/qt/DataExchange.h"

#include "support/FakePlatform.h"
#include "framework/File.h"
#include "framework/qt/MultiLineEdit.h"
#include "framework/qt/PictureControl.h"
#include "res/Resource.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <QLocale>
#include <algorithm>

#include <new>

namespace {

// The main window's layout with a message map of test handlers.
class CProbeDlg : public CDialogBase
{
public:
    CProbeDlg() : CDialogBase(IDD_KORVANE_DIALOG) {}

    void OnCount() { ++m_nCount; }
    void OnFail() { throw CFileException("/tmp/x.txt", 28, "write"); }
    void OnFailSilently() { throw CUserException(""); }
    void OnOutOfMemory() { throw std::bad_alloc(); }

    int m_nCount = 0;
    CString m_strText;
    CString m_strPath;

protected:
    const CMessageEntry* GetMessageMap() const override
    {
        static const CMessageEntry kMap[] = {
            ON_COMMAND(ID_FILE_COPYROW, &CProbeDlg::OnCount),
            ON_BN_CLICKED(IDC_BUTTON_PARSE, &CProbeDlg::OnCount),
            ON_COMMAND(ID_FILE_SAVEAS, &CProbeDlg::OnFail),
            ON_COMMAND(ID_FILE_PRINT, &CProbeDlg::OnFailSilently),
            ON_COMMAND(ID_FILE_COPYALL, &CProbeDlg::OnOutOfMemory),
            END_MESSAGE_MAP(),
        };
        return kMap;
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_EDIT_DATA, m_strText);
        DDX_Text(pDX, IDC_EDIT_DATA_PATH, m_strPath);
    }
};

} // namespace

TEST(DialogBase, CommandsAreDispatchedByIdAndErrorsShown)
{
    CFakePlatform fake;
    CProbeDlg dlg;
    ASSERT_TRUE(dlg.Create());
    EXPECT_TRUE(dlg.SendCommand(ID_FILE_COPYROW));
    EXPECT_TRUE(dlg.SendCommand(IDC_BUTTON_PARSE));
    EXPECT_EQ(dlg.m_nCount, 2);
    EXPECT_FALSE(dlg.SendCommand(ID_HELP_ABOUT));

    EXPECT_TRUE(dlg.SendCommand(ID_FILE_SAVEAS));
    EXPECT_TRUE(dlg.SendCommand(ID_FILE_PRINT));
    EXPECT_TRUE(dlg.SendCommand(ID_FILE_COPYALL));
    ASSERT_EQ(fake.messageBox.m_shown.size(), 3u);
    EXPECT_EQ(fake.messageBox.m_shown[0].strText,
              "Cannot write \"/tmp/x.txt\": No space left on device");
    EXPECT_EQ(fake.messageBox.m_shown[0].icon, EMessageIcon::Stop);
    EXPECT_EQ(fake.messageBox.m_shown[1].strText, "Command failed.");
    EXPECT_EQ(fake.messageBox.m_shown[2].icon, EMessageIcon::Exclamation);
    dlg.close();
}

TEST(DialogBase, LayoutInDialogUnits)
{
    CProbeDlg dlg;
    ASSERT_TRUE(dlg.Create());
    const int cx = dlg.BaseUnitX();
    const int cy = dlg.BaseUnitY();
    ASSERT_GT(cx, 0);
    QWidget* pList = dlg.GetDlgItem(IDC_LIST_RESULT);
    ASSERT_NE(pList, nullptr);
    EXPECT_EQ(pList->geometry(),
              QRect(dlg.MapDialogPoint(7, 269), QSize((510 * cx + 2) / 4, (144 * cy + 4) / 8)));
    QWidget* pClient = dlg.findChild<QWidget*>("client");
    EXPECT_EQ(pClient->size(), QSize((524 * cx + 2) / 4, (432 * cy + 4) / 8));
    // The banner keeps to its own rectangle; its picture is drawn inside it.
    auto* pBanner = static_cast<CPictureControl*>(dlg.GetDlgItem(IDC_BANNER));
    EXPECT_EQ(pBanner->geometry(),
              QRect(dlg.MapDialogPoint(6, 6), QSize((511 * cx + 2) / 4, (70 * cy + 4) / 8)));
    EXPECT_TRUE(pBanner->contentsRect().contains(pBanner->PictureRect()));
    // Group boxes lie behind the controls they frame and take no clicks.
    auto* pGroup = dlg.findChild<QGroupBox*>("groupTemplate");
    EXPECT_TRUE(pGroup->testAttribute(Qt::WA_TransparentForMouseEvents));
    // A click inside the template box reaches the edit box, not the frame.
    QWidget* pHit = pClient->childAt(dlg.MapDialogPoint(100, 200));
    ASSERT_NE(pHit, nullptr);
    EXPECT_TRUE(pHit == dlg.GetDlgItem(IDC_EDIT_TEMPLATE) ||
                dlg.GetDlgItem(IDC_EDIT_TEMPLATE)->isAncestorOf(pHit));
    // The tab order is the layout's order of tab stops.
    const int kTabStops[] = {IDC_LIST_RESULT,          IDC_EDIT_DATA,      IDC_BUTTON_PARSE,
                             IDC_BUTTON_LOAD_DATA,     IDC_EDIT_TEMPLATE,  IDC_BUTTON_LOAD_TEMPLATE,
                             IDC_EDIT_ALLOWED_CHARS,   IDC_EDIT_START_TAG, IDC_EDIT_END_TAG,
                             IDC_EDIT_TEMPLATE_PATH,   IDC_EDIT_DATA_PATH, IDC_EDIT_CRCL,
                             IDC_CHECK_PARSE_FROM_EDIT};
    std::vector<QWidget*> stops;
    for (const int nId : kTabStops)
        stops.push_back(dlg.GetDlgItem(nId));
    std::vector<QWidget*> chain;
    QWidget* pAt = stops.front();
    do {
        if (std::find(stops.begin(), stops.end(), pAt) != stops.end())
            chain.push_back(pAt);
        pAt = pAt->nextInFocusChain();
    } while (pAt != stops.front() && chain.size() < stops.size());
    EXPECT_EQ(chain, stops);
    dlg.close();
}

TEST(DialogBase, TextExchangeKeepsCrLf)
{
    CProbeDlg dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.m_strText = "a\r\nb\r\n\r\nc";
    dlg.m_strPath = "/x/\xC3\xA9.txt";
    dlg.UpdateData(false);
    auto* pEdit = static_cast<CMultiLineEdit*>(dlg.GetDlgItem(IDC_EDIT_DATA));
    EXPECT_EQ(pEdit->toPlainText(), "a\nb\n\nc");
    EXPECT_EQ(static_cast<QLineEdit*>(dlg.GetDlgItem(IDC_EDIT_DATA_PATH))->text(),
              QString::fromUtf8("/x/\xC3\xA9.txt"));
    dlg.m_strText.clear();
    dlg.UpdateData(true);
    EXPECT_EQ(dlg.m_strText, "a\r\nb\r\n\r\nc");
    pEdit->setPlainText("typed\nlines");
    dlg.UpdateData(true);
    EXPECT_EQ(dlg.m_strText, "typed\r\nlines");

    // A text too large to edit is shown in part, read-only, and comes back
    // whole; a short text makes the box editable again.
    CString large;
    for (int i = 0; large.size() <= CMultiLineEdit::kLargeText; ++i)
        large += "line " + std::to_string(i) + "\r\n";
    const size_t nLines = static_cast<size_t>(std::count(large.begin(), large.end(), '\n'));
    dlg.m_strText = large;
    dlg.UpdateData(false);
    EXPECT_TRUE(pEdit->IsShowingPart());
    EXPECT_TRUE(pEdit->isReadOnly());
    const QString shown = pEdit->toPlainText();
    EXPECT_TRUE(shown.startsWith("line 0\nline 1\n"));
    EXPECT_TRUE(
        shown.contains(QLocale().toString(static_cast<qlonglong>(nLines)) + " lines are shown"));
    EXPECT_LE(static_cast<size_t>(shown.size()), CMultiLineEdit::kShownPart + 200);
    dlg.m_strText.clear();
    dlg.UpdateData(true);
    EXPECT_TRUE(dlg.m_strText == large);
    dlg.m_strText = "small";
    dlg.UpdateData(false);
    EXPECT_FALSE(pEdit->IsShowingPart());
    EXPECT_FALSE(pEdit->isReadOnly());
    EXPECT_EQ(pEdit->toPlainText(), "small");
    dlg.close();
}
