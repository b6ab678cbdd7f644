#include "ui/HelpViewer.h"

#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "res/Resource.h"
#include "ui/HelpWindow.h"
#include "ui/MainApp.h"
#include "ui/MainDlg.h"

#include <QApplication>
#include <QFileInfo>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFragment>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::string kBin = KORVANE_BIN_DIR;
const std::string kGuide = kBin + "/korvane-help/";

// Every link of the page shown: its text and its address.
std::vector<std::pair<QString, QString>> Links(const QTextBrowser& browser)
{
    std::vector<std::pair<QString, QString>> links;
    for (QTextBlock block = browser.document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.isAnchor() && !format.anchorHref().isEmpty())
                links.emplace_back(fragment.text(), format.anchorHref());
        }
    }
    return links;
}

// Clicks the first link whose text is strText, as a user does.
bool ClickLink(QTextBrowser& browser, const QString& strText)
{
    for (QTextBlock block = browser.document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isAnchor() || fragment.text() != strText)
                continue;
            QTextCursor cursor(browser.document());
            cursor.setPosition(fragment.position() + fragment.length() / 2);
            browser.ensureCursorVisible();
            browser.setTextCursor(cursor);
            browser.ensureCursorVisible();
            const QPoint point = browser.cursorRect(cursor).center();
            QTest::mouseClick(browser.viewport(), Qt::LeftButton, {}, point);
            return true;
        }
    }
    return false;
}

QString FileName(const CString& strPath)
{
    return QFileInfo(QString::fromStdString(strPath)).fileName();
}

class HelpViewerTest : public ::testing::Test
{
protected:
    void SetUp() override { platform::SetHelpViewer(&m_viewer); }
    void TearDown() override
    {
        platform::SetHelpViewer(&m_fake.help);
        QApplication::processEvents();
    }

    CFakePlatform m_fake;
    CHelpViewer m_viewer;
};

} // namespace

TEST(HelpViewer, GuidePathIsTheHelpPathsBaseNameWithHelp)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/korvane/bin/korvane.chm", "/opt/korvane/bin/korvane-help/index.html"},
        {"/opt/k.d/korvane", "/opt/k.d/korvane-help/index.html"},
        {"korvane.chm", "korvane-help/index.html"},
        {"/a/b.c.chm", "/a/b.c-help/index.html"},
    };
    for (const auto& [pszHelp, pszGuide] : cases)
        EXPECT_EQ(CHelpViewer::GuidePathFor(pszHelp), pszGuide) << pszHelp;
}

TEST_F(HelpViewerTest, AMissingGuideSaysWhereItWasLookedFor)
{
    CTempDir dir;
    EXPECT_FALSE(m_viewer.ShowHelp(dir.File("nothing.chm")));
    ASSERT_EQ(m_fake.messageBox.m_shown.size(), 1u);
    EXPECT_EQ(m_fake.messageBox.m_shown[0].strText,
              "The user guide was not found. It was looked for at " +
                  dir.File("nothing-help/index.html") + ".");
    EXPECT_EQ(m_fake.messageBox.m_shown[0].icon, EMessageIcon::Exclamation);
    EXPECT_EQ(m_viewer.Window(), nullptr);
}

TEST_F(HelpViewerTest, OpensTheContentsInOneWindowThatDoesNotBlock)
{
    ASSERT_TRUE(m_viewer.ShowHelp(kBin + "/korvane.chm"));
    CHelpWindow* pWindow = m_viewer.Window();
    ASSERT_NE(pWindow, nullptr);
    EXPECT_TRUE(pWindow->isVisible());
    EXPECT_TRUE(pWindow->isWindow());
    EXPECT_EQ(pWindow->windowModality(), Qt::NonModal);
    EXPECT_EQ(pWindow->CurrentPage(), kGuide + "index.html");
    EXPECT_EQ(pWindow->windowTitle(), "Korvane Help");
    EXPECT_TRUE(pWindow->Browser()->toPlainText().contains("Korvane turns text"));

    // Away from the contents, then asked again: the same window, back on
    // the contents, with the page before in its history.
    ASSERT_TRUE(ClickLink(*pWindow->Browser(), "Character sets"));
    EXPECT_EQ(FileName(pWindow->CurrentPage()), "charsets.html");
    ASSERT_TRUE(m_viewer.ShowHelp(kBin + "/korvane.chm"));
    EXPECT_EQ(m_viewer.Window(), pWindow);
    EXPECT_EQ(FileName(pWindow->CurrentPage()), "index.html");
    EXPECT_TRUE(pWindow->Browser()->isBackwardAvailable());
    EXPECT_TRUE(m_fake.messageBox.m_shown.empty());
}

TEST_F(HelpViewerTest, BackForwardAndContentsButtons)
{
    ASSERT_TRUE(m_viewer.ShowHelp(kBin + "/korvane.chm"));
    CHelpWindow* pWindow = m_viewer.Window();
    auto* pBack = pWindow->findChild<QToolButton*>("helpBack");
    auto* pForward = pWindow->findChild<QToolButton*>("helpForward");
    auto* pContents = pWindow->findChild<QToolButton*>("helpContents");
    ASSERT_NE(pBack, nullptr);
    ASSERT_NE(pForward, nullptr);
    ASSERT_NE(pContents, nullptr);
    EXPECT_FALSE(pBack->isEnabled());
    EXPECT_FALSE(pForward->isEnabled());

    ASSERT_TRUE(ClickLink(*pWindow->Browser(), "The settings"));
    EXPECT_EQ(FileName(pWindow->CurrentPage()), "settings.html");
    EXPECT_EQ(pWindow->windowTitle(), "The settings - Korvane Help");
    EXPECT_TRUE(pBack->isEnabled());
    QTest::mouseClick(pBack, Qt::LeftButton);
    EXPECT_EQ(FileName(pWindow->CurrentPage()), "index.html");
    EXPECT_TRUE(pForward->isEnabled());
    QTest::mouseClick(pForward, Qt::LeftButton);
    EXPECT_EQ(FileName(pWindow->CurrentPage()), "settings.html");
    // The pages lead back to the contents.
    ASSERT_TRUE(ClickLink(*pWindow->Browser(), "Character sets"));
    EXPECT_EQ(FileName(pWindow->CurrentPage()), "charsets.html");
    QTest::mouseClick(pContents, Qt::LeftButton);
    EXPECT_EQ(FileName(pWindow->CurrentPage()), "index.html");
}

TEST_F(HelpViewerTest, EveryLinkOfTheGuideLeadsToAPageOrAPlaceOnOne)
{
    ASSERT_TRUE(m_viewer.ShowHelp(kBin + "/korvane.chm"));
    QTextBrowser* pBrowser = m_viewer.Window()->Browser();
    int nPages = 0;
    std::set<QString> linkedTo;
    for (const auto& entry : std::filesystem::directory_iterator(kGuide)) {
        if (entry.path().extension() != ".html")
            continue;
        ++nPages;
        const QUrl page = QUrl::fromLocalFile(QString::fromStdString(entry.path().string()));
        pBrowser->setSource(page);
        SCOPED_TRACE(entry.path().filename().string());
        EXPECT_FALSE(pBrowser->documentTitle().isEmpty());
        const auto links = Links(*pBrowser);
        EXPECT_FALSE(links.empty());
        for (const auto& [strText, strHref] : links) {
            const QUrl target = page.resolved(QUrl(strHref));
            ASSERT_TRUE(target.isLocalFile()) << strHref.toStdString();
            EXPECT_TRUE(QFileInfo::exists(target.toLocalFile())) << strHref.toStdString();
            if (target.hasFragment()) {
                QTextBrowser probe;
                probe.setSource(target.adjusted(QUrl::RemoveFragment));
                EXPECT_TRUE(probe.toHtml().contains("name=\"" + target.fragment() + "\""))
                    << strHref.toStdString();
            }
            linkedTo.insert(target.adjusted(QUrl::RemoveFragment).fileName());
        }
    }
    EXPECT_EQ(nPages, 8);
    // Every page is reachable from some page.
    EXPECT_EQ(static_cast<int>(linkedTo.size()), nPages);
}

TEST_F(HelpViewerTest, WebLinksGoToTheBrowserAndAMissingPageIsReported)
{
    CTempDir dir;
    std::filesystem::create_directory(dir.Path() / "guide-help");
    dir.Write("guide-help/index.html",
              "<html><head><title>Guide</title></head><body>"
              "<p><a href=\"https://korvane.example/more\">More</a> "
              "<a href=\"gone.html\">Gone</a> <a href=\"#end\">End</a></p>"
              "<p><a name=\"end\"></a>the end</p></body></html>");
    ASSERT_TRUE(m_viewer.ShowHelp(dir.File("guide.chm")));
    CHelpWindow* pWindow = m_viewer.Window();
    EXPECT_EQ(pWindow->windowTitle(), "Guide - Korvane Help");

    ASSERT_TRUE(ClickLink(*pWindow->Browser(), "More"));
    ASSERT_EQ(m_fake.browser.m_opened.size(), 1u);
    EXPECT_EQ(m_fake.browser.m_opened[0], "https://korvane.example/more");
    EXPECT_EQ(pWindow->CurrentPage(), dir.File("guide-help/index.html"));

    ASSERT_TRUE(ClickLink(*pWindow->Browser(), "Gone"));
    ASSERT_EQ(m_fake.messageBox.m_shown.size(), 1u);
    EXPECT_EQ(m_fake.messageBox.m_shown[0].strText,
              "The help page " + dir.File("guide-help/gone.html") + " was not found.");
    EXPECT_EQ(pWindow->CurrentPage(), dir.File("guide-help/index.html"));

    ASSERT_TRUE(ClickLink(*pWindow->Browser(), "End"));
    EXPECT_EQ(pWindow->CurrentPage(), dir.File("guide-help/index.html"));
    EXPECT_EQ(pWindow->Browser()->source().fragment(), "end");
}

TEST_F(HelpViewerTest, F1AndHelpTopicsOpenTheGuideOfTheProgram)
{
    CMainDlg dlg;
    ASSERT_TRUE(dlg.Create());
    QTest::keyClick(&dlg, Qt::Key_F1);
    CHelpWindow* pWindow = m_viewer.Window();
    ASSERT_NE(pWindow, nullptr);
    // The help path is the test program's own, so is its guide.
    const CString strHelp = CMainApp::HelpPathFor(platform::GetModuleFileName());
    EXPECT_EQ(pWindow->CurrentPage(), CHelpViewer::GuidePathFor(strHelp));
    EXPECT_EQ(FileName(pWindow->CurrentPage()), "index.html");
    EXPECT_TRUE(pWindow->isVisible());
    // The main window still takes input.
    EXPECT_TRUE(dlg.isEnabled());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    pWindow->close();
    EXPECT_FALSE(pWindow->isVisible());
    dlg.SendCommand(ID_HELP_HELPTOPICS);
    EXPECT_EQ(m_viewer.Window(), pWindow);
    EXPECT_TRUE(pWindow->isVisible());
    EXPECT_TRUE(m_fake.messageBox.m_shown.empty());
    dlg.close();
}

TEST(HelpWindow, ThePagesStayReadableOnALightAndADarkPalette)
{
    // The colour of the guide's ordinary text, and of the page behind it.
    auto TextAndPage = [](const CHelpWindow& window) {
        const QTextDocument* pDocument = window.Browser()->document();
        for (QTextBlock block = pDocument->begin(); block.isValid(); block = block.next()) {
            if (block.text().startsWith("Korvane turns text"))
                return std::make_pair(block.begin().fragment().charFormat().foreground().color(),
                                      window.Browser()->palette().color(QPalette::Base));
        }
        return std::make_pair(QColor(), QColor());
    };
    QPalette dark;
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1f, 0x22));
    dark.setColor(QPalette::Text, QColor(0xe6, 0xe6, 0xe6));
    dark.setColor(QPalette::Window, QColor(0x2b, 0x2d, 0x31));
    dark.setColor(QPalette::WindowText, QColor(0xe6, 0xe6, 0xe6));

    CHelpWindow window;
    window.OpenContents(kGuide + "index.html");
    auto [text, page] = TextAndPage(window);
    ASSERT_TRUE(text.isValid());
    EXPECT_LT(text.lightness(), 60);
    EXPECT_GT(page.lightness() - text.lightness(), 150);

    // A dark palette, while the page is shown: light text on a dark page.
    window.setPalette(dark);
    std::tie(text, page) = TextAndPage(window);
    ASSERT_TRUE(text.isValid());
    EXPECT_GT(text.lightness(), 200);
    EXPECT_GT(text.lightness() - page.lightness(), 150);

    // And back.
    window.setPalette(QPalette());
    std::tie(text, page) = TextAndPage(window);
    EXPECT_LT(text.lightness(), 60);
}
