#include "framework/qt/QtPlatform.h"
#include "ui/MainApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvane"));
    InstallQtPlatform();
    CMainApp theApp;
    theApp.InitInstance();
    return 0;
}
