#include "framework/TempFile.h"
#include "framework/qt/QtPlatform.h"
#include "ui/HelpViewer.h"
#include "ui/MainApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // A save that is interrupted leaves no temporary file behind.
    InstallSignalCleanup();
    QApplication::setApplicationName(QStringLiteral("Korvane"));
    InstallQtPlatform();
    CHelpViewer helpViewer;
    platform::SetHelpViewer(&helpViewer);
    CMainApp theApp;
    theApp.InitInstance();
    platform::SetHelpViewer(nullptr);
    return 0;
}
