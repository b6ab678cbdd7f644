#include "framework/qt/QtPlatform.h"

#include "support/FakePlatform.h"
#include "support/TempDir.h"

#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// A stand-in for the desktop's opener: a shell script.
std::string WriteOpener(const CTempDir& dir, const std::string& strName, const std::string& strBody)
{
    const std::string strPath = dir.Write(strName, "#!/bin/sh\n" + strBody + "\n");
    std::filesystem::permissions(strPath, std::filesystem::perms::owner_all);
    return strPath;
}

} // namespace

TEST(QtWebBrowser, AnAddressThatNoBrowserTakesIsShownToCopy)
{
    CFakePlatform fake;
    CTempDir dir;
    const CString strUrl = "https://korvane.example/text-to-table?utm_medium=Korvane_APP_LINK";

    // The opener takes the address: no message.
    const std::string strOpened = dir.File("opened");
    CQtWebBrowser working(
        QString::fromStdString(WriteOpener(dir, "opener", "echo \"$1\" > '" + strOpened + "'")));
    EXPECT_TRUE(working.OpenUrl(strUrl));
    EXPECT_TRUE(QTest::qWaitFor([&] { return working.RunningOpeners() == 0; }));
    EXPECT_EQ(CTempDir::Read(strOpened), strUrl + "\n");
    EXPECT_TRUE(fake.messageBox.m_shown.empty());

    // The opener finds no browser (xdg-open's status 3): once it has ended,
    // the address is shown.
    CQtWebBrowser failing(QString::fromStdString(WriteOpener(dir, "no-browser", "exit 3")));
    EXPECT_TRUE(failing.OpenUrl(strUrl));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !fake.messageBox.m_shown.empty(); }));
    ASSERT_EQ(fake.messageBox.m_shown.size(), 1u);
    EXPECT_NE(fake.messageBox.m_shown[0].strText.find("No web browser could be started"),
              CString::npos);
    EXPECT_NE(fake.messageBox.m_shown[0].strText.find("\n" + strUrl), CString::npos);
    EXPECT_EQ(failing.RunningOpeners(), 0);
}
