// The window's layout at every size: opened, enlarged, maximised, at its
// least size and on a small screen. ctest runs the WindowLayout and
// AboutLayout tests once more at the scale factors 1.5 and 2 on a 1366x768
// screen (tests/ui/CMakeLists.txt).
#include "framework/qt/DialogLayout.h"

#include "MainDlgFixture.h"
#include "support/FakePlatform.h"
#include "framework/qt/ListView.h"
#include "framework/qt/MultiLineEdit.h"
#include "framework/qt/PictureControl.h"
#include "res/Resource.h"
#include "ui/AboutDlg.h"
#include "ui/MainDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

namespace {

QString Name(const QWidget* pWidget) { return pWidget->objectName(); }

// Compares the controls' geometries: no two controls overlap, a control in a
// group stays inside it, every control lies in the client area, no caption
// is cut and the banner's picture stays inside the banner.
void ExpectCleanLayout(const QWidget& client, const char* pszWhen)
{
    SCOPED_TRACE(pszWhen);
    std::vector<QWidget*> controls;
    for (QWidget* pChild : client.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (pChild->isVisibleTo(&client))
            controls.push_back(pChild);
    }
    ASSERT_GT(controls.size(), 5u);
    const QRect area = client.rect();
    for (QWidget* pA : controls) {
        EXPECT_TRUE(area.contains(pA->geometry())) << Name(pA).toStdString();
        for (QWidget* pB : controls) {
            // A group holds the controls inside it; nothing else overlaps.
            if (pA == pB ||
                (qobject_cast<QGroupBox*>(pA) != nullptr &&
                 pA->geometry().contains(pB->geometry())))
                continue;
            if (qobject_cast<QGroupBox*>(pB) != nullptr && pB->geometry().contains(pA->geometry()))
                continue;
            EXPECT_FALSE(pA->geometry().intersects(pB->geometry()))
                << Name(pA).toStdString() << " overlaps " << Name(pB).toStdString();
        }
        auto* pLabel = qobject_cast<QLabel*>(pA);
        if ((pLabel != nullptr && pLabel->pixmap().isNull()) ||
            qobject_cast<QCheckBox*>(pA) != nullptr) {
            EXPECT_LE(pA->sizeHint().width(), pA->width()) << Name(pA).toStdString() << " is cut";
            EXPECT_LE(pA->fontMetrics().height(), pA->height()) << Name(pA).toStdString();
        }
        if (auto* pPicture = qobject_cast<CPictureControl*>(pA)) {
            EXPECT_TRUE(pPicture->contentsRect().contains(pPicture->PictureRect()));
        }
    }
}

QMap<QString, QRect> Geometries(const QWidget& client)
{
    QMap<QString, QRect> rects;
    for (QWidget* pChild : client.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        rects[pChild->objectName()] = pChild->geometry();
    return rects;
}

class WindowLayout : public CMainDlgFixture
{
protected:
    // Resizes the window and waits until the controls have followed.
    void ResizeClient(const QSize& client)
    {
        const int nMenu = m_dlg.GetMenuBar()->height();
        m_dlg.resize(client.width(), client.height() + nMenu);
        EXPECT_TRUE(QTest::qWaitFor([&] { return Client().size() == m_dlg.GetClient()->size(); }));
    }
    QWidget& Client() { return *m_dlg.GetClient(); }
};

} // namespace

TEST_F(WindowLayout, OpensAtItsLayoutSizeOrFitsItsScreen)
{
    m_dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_dlg));
    const QRect available = m_dlg.screen()->availableGeometry();
    const QSize base = m_dlg.Layout().BaseSize();
    const QRect frame = m_dlg.frameGeometry();
    const int nFrameHeight = frame.height() - m_dlg.height();
    if (base.height() + m_dlg.GetMenuBar()->height() + nFrameHeight <= available.height() &&
        base.width() + frame.width() - m_dlg.width() <= available.width()) {
        EXPECT_EQ(Client().size(), base);
    } else {
        EXPECT_LT(Client().height(), base.height());
    }
    // Nothing lies off the screen: the title bar, the menu and the list.
    EXPECT_TRUE(available.contains(frame)) << available.width() << "x" << available.height();
    ExpectCleanLayout(Client(), "as opened");
}

TEST_F(WindowLayout, TheGroupsShareExtraWidthAndTheListTakesExtraHeight)
{
    const QSize base = m_dlg.Layout().BaseSize();
    ResizeClient(base);
    const QMap<QString, QRect> before = Geometries(Client());
    ResizeClient(base + QSize(300, 200));
    const QMap<QString, QRect> after = Geometries(Client());

    const QRect list = after["IDC_LIST_RESULT"];
    EXPECT_EQ(list.top(), before["IDC_LIST_RESULT"].top());
    EXPECT_EQ(list.height(), before["IDC_LIST_RESULT"].height() + 200);
    EXPECT_EQ(list.width(), before["IDC_LIST_RESULT"].width() + 300);
    for (const char* pszGroup : {"groupTemplate", "groupData"})
        EXPECT_EQ(after[pszGroup].width(), before[pszGroup].width() + 150) << pszGroup;
    EXPECT_EQ(after["groupData"].left(), before["groupData"].left() + 150);
    EXPECT_EQ(after["IDC_EDIT_TEMPLATE"].height(), before["IDC_EDIT_TEMPLATE"].height());
    EXPECT_EQ(after["IDC_EDIT_DATA"].width(), before["IDC_EDIT_DATA"].width() + 150);
    EXPECT_EQ(after["IDC_BUTTON_PARSE"].right(), before["IDC_BUTTON_PARSE"].right() + 300);
    EXPECT_EQ(after["IDC_BUTTON_LOAD_DATA"].right(), before["IDC_BUTTON_LOAD_DATA"].right() + 300);
    EXPECT_EQ(after["IDC_EDIT_START_TAG"], before["IDC_EDIT_START_TAG"]);
    ExpectCleanLayout(Client(), "enlarged");

    m_dlg.showMaximized();
    const QRect screen = m_dlg.screen()->availableGeometry();
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return m_dlg.frameGeometry().height() + 4 >= screen.height() &&
            m_dlg.frameGeometry().width() + 4 >= screen.width();
    }));
    EXPECT_GT(Client().height(), std::min(base.height(), screen.height() / 2));
    ExpectCleanLayout(Client(), "maximised");
}

TEST_F(WindowLayout, TheLeastSizeKeepsEveryControlUsableAndFitsASmallScreen)
{
    ResizeClient(QSize(100, 100));
    const QSize least = Client().size();
    EXPECT_EQ(least, Client().minimumSize());
    EXPECT_LT(least.width(), m_dlg.Layout().BaseSize().width());
    // 1366 x 768 at a scale of 2, less a window frame.
    EXPECT_LE(least.width() + 8, 683);
    EXPECT_LE(least.height() + m_dlg.GetMenuBar()->height() + 30, 384);
    ExpectCleanLayout(Client(), "at the least size");

    // Two rows of the list, two lines of each text box and eight characters
    // of each setting box stay in view.
    auto* pList = m_dlg.findChild<CListView*>("IDC_LIST_RESULT");
    m_dlg.SendCommand(IDC_BUTTON_PARSE);
    EXPECT_GE(pList->viewport()->height(), 2 * pList->verticalHeader()->defaultSectionSize());
    for (const char* pszEdit : {"IDC_EDIT_TEMPLATE", "IDC_EDIT_DATA"}) {
        auto* pEdit = m_dlg.findChild<CMultiLineEdit*>(pszEdit);
        EXPECT_GE(pEdit->viewport()->height(), 2 * pEdit->fontMetrics().lineSpacing()) << pszEdit;
    }
    for (const char* pszEdit :
         {"IDC_EDIT_ALLOWED_CHARS", "IDC_EDIT_TEMPLATE_PATH", "IDC_EDIT_DATA_PATH"})
        EXPECT_GE(m_dlg.findChild<QLineEdit*>(pszEdit)->width(), 8 * m_dlg.BaseUnitX()) << pszEdit;

    // Long and low, short and narrow.
    ResizeClient(QSize(least.width(), least.height() + 400));
    ExpectCleanLayout(Client(), "narrow and tall");
    ResizeClient(QSize(least.width() + 900, least.height()));
    ExpectCleanLayout(Client(), "wide and low");
}

TEST(WindowLayoutFaces, AWiderFaceStillOverlapsNothing)
{
    // Without the metric-compatible face the dialog font falls back to a
    // wider one; the captions take room beside them instead.
    QFont::removeSubstitutions(QStringLiteral("MS Sans Serif"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans"));
    {
        CFakePlatform fake;
        CMainDlg dlg;
        ASSERT_TRUE(dlg.Create());
        EXPECT_EQ(QFontInfo(dlg.font()).family(), "DejaVu Sans");
        ExpectCleanLayout(*dlg.GetClient(), "opened");
        dlg.resize(10, 10);
        QApplication::processEvents();
        ExpectCleanLayout(*dlg.GetClient(), "at the least size");
        dlg.close();
    }
    QFont::removeSubstitutions(QStringLiteral("MS Sans Serif"));
}

TEST(AboutLayout, TheBannerStaysAboveTheButtonAndTheBoxFitsItsScreen)
{
    CFakePlatform fake;
    CAboutDlg dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    ExpectCleanLayout(*dlg.GetClient(), "about box");
    const QWidget* pBanner = dlg.GetDlgItem(IDC_BANNER_ABOUT);
    EXPECT_LE(pBanner->geometry().bottom(), dlg.GetDlgItem(IDOK)->geometry().top());
    EXPECT_TRUE(dlg.screen()->availableGeometry().contains(dlg.frameGeometry()));
    dlg.close();
}

TEST(DialogLayout, StripsGrowByWeightAndShrinkByTheirRoom)
{
    // Two strips over a 100 x 200 area: rows 0..100 (may shrink to 40) and
    // 120..180 (grows, may shrink to 30); a box in each and one between.
    QWidget top;
    QWidget middle;
    QWidget bottom;
    CDialogLayout layout;
    layout.SetBaseSize(QSize(100, 200));
    layout.AddStrip(0, 100, 0, 40);
    layout.AddStrip(120, 180, 1, 30);
    layout.Add({&top, QRect(0, 0, 100, 100), 0, 100, QSize(), false, false});
    layout.Add({&middle, QRect(10, 100, 20, 20), 100, 0, QSize(), false, false});
    layout.Add({&bottom, QRect(0, 120, 100, 60), 0, 100, QSize(50, 0), false, false});

    EXPECT_EQ(layout.RectAt(2, QSize(100, 300)), QRect(0, 120, 100, 160));
    EXPECT_EQ(layout.RectAt(1, QSize(160, 300)), QRect(70, 100, 20, 20));
    // 60 pixels less: the first strip has room 60, the second 30, so they
    // give up 40 and 20.
    EXPECT_EQ(layout.RectAt(0, QSize(100, 140)), QRect(0, 0, 100, 60));
    EXPECT_EQ(layout.RectAt(2, QSize(100, 140)), QRect(0, 80, 100, 40));
    // The least size: both strips at their least; the middle box, which
    // moves left as the area narrows, still inside it.
    EXPECT_EQ(layout.MinimumSize(), QSize(90, 110));
    EXPECT_FALSE(layout.IsValidAt(QSize(89, 200)));
    EXPECT_FALSE(layout.IsValidAt(QSize(100, 109)));
}
