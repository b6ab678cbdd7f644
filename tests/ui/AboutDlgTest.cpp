#include "ui/AboutDlg.h"

#include "support/FakePlatform.h"
#include "framework/ProductInfo.h"
#include "res/Resource.h"
#include "ui/MainDlg.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const CString kPage = product::kProductPageUrl;

QString LabelText(QWidget& dlg, const char* pszName)
{
    auto* pLabel = dlg.findChild<QLabel*>(QString::fromUtf8(pszName));
    return pLabel != nullptr ? pLabel->text() : QStringLiteral("<missing>");
}

class AboutDlgTest : public ::testing::Test
{
protected:
    CFakePlatform m_fake;
};

} // namespace

TEST_F(AboutDlgTest, ShowsItsTexts)
{
    CAboutDlg dlg;
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.windowTitle(), "About Korvane");
    EXPECT_EQ(LabelText(dlg, "labelVersion"), "Korvane Version 2.5");
    EXPECT_EQ(LabelText(dlg, "labelNotice"), "Copyright (C) 2026 Brenlow LLC.");
    EXPECT_EQ(LabelText(dlg, "IDC_LINK").toStdString(), kPage);
    auto* pOk = dlg.findChild<QPushButton*>("IDOK");
    ASSERT_NE(pOk, nullptr);
    EXPECT_EQ(pOk->text(), "OK");
    EXPECT_TRUE(pOk->isDefault());
    dlg.close();
}

TEST_F(AboutDlgTest, TheLinkIsBlueUnderlinedAndUnderTheHand)
{
    CAboutDlg dlg;
    ASSERT_TRUE(dlg.Create());
    QWidget* pLink = dlg.GetDlgItem(IDC_LINK);
    ASSERT_NE(pLink, nullptr);
    EXPECT_TRUE(pLink->font().underline());
    EXPECT_EQ(pLink->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(pLink->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(dlg.GetDlgItem(IDC_BANNER_ABOUT)->cursor().shape(), Qt::BitmapCursor);
    dlg.close();
}

TEST_F(AboutDlgTest, EveryLinkOpensThePageWithItsOwnQuery)
{
    CMainDlg main;
    ASSERT_TRUE(main.Create());
    CAboutDlg about(&main);
    ASSERT_TRUE(about.Create());

    struct Case
    {
        const char* pszOpener;
        std::function<void()> open;
        const char* pszQuery;
    };
    const Case cases[] = {
        {"menu Product Page", [&] { main.SendCommand(ID_HELP_PRODUCTPAGE); }, product::kPageQuery},
        {"main banner",
         [&] {
             QTest::mouseClick(main.GetDlgItem(IDC_BANNER), Qt::LeftButton, {}, QPoint(30, 20));
         },
         product::kBannerQuery},
        {"about banner",
         [&] {
             QTest::mouseClick(about.GetDlgItem(IDC_BANNER_ABOUT), Qt::LeftButton, {},
                               QPoint(30, 20));
         },
         product::kBannerQuery},
        {"about link",
         [&] { QTest::mouseClick(about.GetDlgItem(IDC_LINK), Qt::LeftButton, {}, QPoint(5, 5)); },
         product::kLinkQuery},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszOpener);
        m_fake.browser.m_opened.clear();
        c.open();
        ASSERT_EQ(m_fake.browser.m_opened.size(), 1u);
        EXPECT_EQ(m_fake.browser.m_opened[0], kPage + c.pszQuery);
    }
    EXPECT_EQ(CString(product::kPageQuery),
              "?utm_source=Korvane_APP&utm_medium=Korvane_APP_PAGE&utm_campaign=Korvane_APP");
    EXPECT_EQ(CString(product::kBannerQuery),
              "?utm_source=Korvane_APP&utm_medium=Korvane_APP_BANNER&utm_campaign=Korvane_APP");
    EXPECT_EQ(CString(product::kLinkQuery),
              "?utm_source=Korvane_APP&utm_medium=Korvane_APP_LINK&utm_campaign=Korvane_APP");
    about.close();
    main.close();
}

TEST_F(AboutDlgTest, OkAndEscapeCloseIt)
{
    for (bool bEscape : {false, true}) {
        CAboutDlg dlg;
        ASSERT_TRUE(dlg.Create());
        QSignalSpy finished(&dlg, &QDialog::finished);
        if (bEscape)
            QTest::keyClick(&dlg, Qt::Key_Escape);
        else
            QTest::mouseClick(dlg.findChild<QPushButton*>("IDOK"), Qt::LeftButton);
        EXPECT_EQ(finished.count(), 1);
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(dlg.result(), bEscape ? IDCANCEL : IDOK);
    }
}

TEST_F(AboutDlgTest, TheAboutCommandShowsItModally)
{
    CMainDlg main;
    ASSERT_TRUE(main.Create());
    QString strTitle;
    QString strVersion;
    bool bModal = false;
    QTimer::singleShot(0, [&] {
        QWidget* pModal = QApplication::activeModalWidget();
        ASSERT_NE(pModal, nullptr);
        strTitle = pModal->windowTitle();
        strVersion = LabelText(*pModal, "labelVersion");
        bModal = pModal->isModal();
        QTest::mouseClick(pModal->findChild<QPushButton*>("IDOK"), Qt::LeftButton);
    });
    main.SendCommand(ID_HELP_ABOUT);
    EXPECT_EQ(strTitle, "About Korvane");
    EXPECT_EQ(strVersion, "Korvane Version 2.5");
    EXPECT_TRUE(bModal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    main.close();
}
