// Opens the main window as a user would see it, runs Parse Data on the
// samples and saves a picture of the window:  korvane-window-shot out.png
// With --about it saves the about box instead.
#include "framework/qt/QtPlatform.h"
#include "res/Resource.h"
#include "ui/AboutDlg.h"
#include "ui/MainApp.h"
#include "ui/MainDlg.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    InstallQtPlatform();
    CMainApp theApp;
    const char* pszOut = "korvane-window.png";
    bool bAbout = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--about") == 0)
            bAbout = true;
        else
            pszOut = argv[i];
    }
    CMainDlg dlg;
    dlg.Create();
    dlg.SendCommand(IDC_BUTTON_PARSE);
    QWidget* pShot = &dlg;
    CAboutDlg about(&dlg);
    if (bAbout) {
        about.Create();
        pShot = &about;
    }
    QApplication::processEvents();
    const bool bSaved = pShot->grab().save(QString::fromLocal8Bit(pszOut));
    std::printf("%s %s (%dx%d)\n", bSaved ? "saved" : "could not save", pszOut, pShot->width(),
                pShot->height());
    return bSaved ? 0 : 1;
}
