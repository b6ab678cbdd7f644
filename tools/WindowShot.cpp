// Opens the main window as a user would see it, runs Parse Data on the
// samples and saves a picture of it:
//   korvane-window-shot [--dark] [--maximized | --about | --stop | --preview |
//                       --help-window [--help-page PAGE]] out.png
//   korvane-window-shot --print-pdf out.pdf
// --about saves the about box instead, --help-window the help window on the
// guide's contents page, or on PAGE (a file name of the guide) with
// --help-page. --stop parses the samples by a template whose line of dashes
// is too short and presses Go to Line; --preview shows the live preview's
// marks on the samples before any parse. --maximized shows the window
// maximised on its screen; --dark gives the program a dark palette, as a
// dark desktop theme does.
// --print-pdf prints the parsed sample list to a PDF file through the
// window's own Print command.
#include "framework/qt/MultiLineEdit.h"
#include "framework/qt/QtPlatform.h"
#include "framework/qt/QtPrintDevice.h"
#include "res/Resource.h"
#include "ui/AboutDlg.h"
#include "ui/HelpViewer.h"
#include "ui/HelpWindow.h"
#include "ui/MainApp.h"
#include "ui/MainDlg.h"
#include "ui/ParsePreview.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPalette>
#include <QPixmap>
#include <QTextBrowser>
#include <QThread>
#include <QUrl>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Answers the print dialog with a PDF file, as a user choosing to print to
// a file would.
class CPdfPrintDialog final : public IPrintDialog
{
public:
    explicit CPdfPrintDialog(CString strPath) : m_strPath(std::move(strPath)) {}
    std::unique_ptr<IPrintDevice> Run() override { return CQtPrintDevice::ForPdf(m_strPath); }

private:
    CString m_strPath;
};

// Reports what the window shows in a message box on stderr, so that the
// tool never waits for a click, and counts the messages.
class CCountingMessageBox final : public CStderrMessageBox
{
public:
    void Show(const CString& strText, EMessageIcon icon) override
    {
        CStderrMessageBox::Show(strText, icon);
        ++m_nShown;
    }
    int m_nShown = 0;
};

// The colours of a dark desktop theme.
QPalette DarkPalette()
{
    QPalette palette;
    const QColor window(0x2b, 0x2d, 0x31);
    const QColor base(0x1e, 0x1f, 0x22);
    const QColor text(0xe6, 0xe6, 0xe6);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, window);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Highlight, QColor(0x3d, 0x6f, 0xb4));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, QColor(0x8a, 0xb8, 0xff));
    return palette;
}

enum class EShot { Window, About, Help, Pdf, Stop, Preview };

// Lets the live preview show the marks of the window's texts.
void WaitForPreview(const CMainDlg& dlg)
{
    QElapsedTimer clock;
    clock.start();
    while ((dlg.GetPreview()->IsPending() || clock.elapsed() < 100) && clock.elapsed() < 10000) {
        QApplication::processEvents();
        QThread::msleep(5);
    }
}

// The sample template with its line of dashes ten short of the data's, as
// the guide's example of a template that stops has it.
void ParseWithAShortLine(CMainDlg& dlg)
{
    auto* pTemplate = dlg.findChild<CMultiLineEdit*>(QStringLiteral("IDC_EDIT_TEMPLATE"));
    pTemplate->setPlainText(pTemplate->toPlainText().replace(QString(40, '-'), QString(30, '-')));
    dlg.findChild<QCheckBox*>(QStringLiteral("IDC_CHECK_PARSE_FROM_EDIT"))->setChecked(true);
    dlg.SendCommand(IDC_BUTTON_PARSE);
    dlg.SendCommand(IDC_BUTTON_GOTO_LINE);
}

// Parse Data on the samples; for --stop by a template that stops, for
// --preview not at all, and for both with the preview's marks in place.
void PrepareWindow(CMainDlg& dlg, EShot shot)
{
    if (shot == EShot::Stop)
        ParseWithAShortLine(dlg);
    else if (shot != EShot::Preview)
        dlg.SendCommand(IDC_BUTTON_PARSE);
    if (shot == EShot::Stop || shot == EShot::Preview)
        WaitForPreview(dlg);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    InstallQtPlatform();
    CCountingMessageBox messages;
    platform::SetMessageBox(&messages);
    CHelpViewer helpViewer;
    platform::SetHelpViewer(&helpViewer);
    CMainApp theApp;

    EShot shot = EShot::Window;
    const char* pszOut = nullptr;
    const char* pszHelpPage = nullptr;
    bool bMaximized = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dark") == 0)
            QApplication::setPalette(DarkPalette());
        else if (std::strcmp(argv[i], "--maximized") == 0)
            bMaximized = true;
        else if (std::strcmp(argv[i], "--about") == 0)
            shot = EShot::About;
        else if (std::strcmp(argv[i], "--help-window") == 0)
            shot = EShot::Help;
        else if (std::strcmp(argv[i], "--help-page") == 0 && i + 1 < argc)
            pszHelpPage = argv[++i];
        else if (std::strcmp(argv[i], "--print-pdf") == 0)
            shot = EShot::Pdf;
        else if (std::strcmp(argv[i], "--stop") == 0)
            shot = EShot::Stop;
        else if (std::strcmp(argv[i], "--preview") == 0)
            shot = EShot::Preview;
        else
            pszOut = argv[i];
    }
    if (pszOut == nullptr)
        pszOut = shot == EShot::Pdf ? "korvane-list.pdf" : "korvane-window.png";

    CMainDlg dlg;
    dlg.Create();
    if (bMaximized)
        dlg.showMaximized();
    PrepareWindow(dlg, shot);

    if (shot == EShot::Pdf) {
        CPdfPrintDialog printDialog(pszOut);
        platform::SetPrintDialog(&printDialog);
        dlg.SendCommand(ID_FILE_PRINT);
        platform::SetPrintDialog(nullptr);
        std::printf("%s %s (%d rows)\n", messages.m_nShown == 0 ? "printed" : "could not print",
                    pszOut, dlg.m_listResult.GetItemCount());
        return messages.m_nShown == 0 ? 0 : 1;
    }

    QWidget* pShot = &dlg;
    CAboutDlg about(&dlg);
    if (shot == EShot::About) {
        about.Create();
        pShot = &about;
    } else if (shot == EShot::Help) {
        // The guide of the window program, wherever this tool is run from.
        const std::string strBin = QCoreApplication::applicationDirPath().toStdString();
        if (!helpViewer.ShowHelp(strBin + "/korvane.chm"))
            return 1;
        CHelpWindow* pWindow = helpViewer.Window();
        if (pszHelpPage != nullptr) {
            const QString strPage =
                QString::fromStdString(CHelpViewer::GuidePathFor(strBin + "/korvane.chm"));
            pWindow->Browser()->setSource(QUrl::fromLocalFile(
                QFileInfo(strPage).dir().filePath(QString::fromLocal8Bit(pszHelpPage))));
        }
        pShot = pWindow;
    }
    QApplication::processEvents();
    const bool bSaved = pShot->grab().save(QString::fromLocal8Bit(pszOut));
    std::printf("%s %s (%dx%d)\n", bSaved ? "saved" : "could not save", pszOut, pShot->width(),
                pShot->height());
    return bSaved ? 0 : 1;
}
