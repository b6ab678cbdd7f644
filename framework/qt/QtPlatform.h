#pragma once
// The Qt implementations of the platform services: the system clipboard
// (UTF-8 text), QMessageBox, QFileDialog, the desktop's web browser and the
// print dialog (QtPrintDialog.h).

#include "framework/Platform.h"

#include <QString>

class CQtClipboard final : public IClipboard
{
public:
    bool SetText(const CString& strText) override;
    CString GetText() const override;
};

// Message boxes whose text can be selected and copied (a path, an address).
class CQtMessageBox final : public IMessageBox
{
public:
    void Show(const CString& strText, EMessageIcon icon) override;
    bool AskYesNo(const CString& strQuestion) override;
    EAddOrReplace AskAddOrReplace(const CString& strQuestion) override;
};

class CQtFileDialog final : public IFileDialog
{
public:
    CFileDialogResult Run(const CFileDialogRequest& request) override;
};

// Opens web addresses with the desktop's opener (xdg-open), or where there is
// none with the browser Qt finds. The opener reports a missing browser only
// by its exit status, after the click has returned; either way the user
// then gets a message with the address to copy, instead of nothing at all.
class CQtWebBrowser final : public IWebBrowser
{
public:
    explicit CQtWebBrowser(QString strOpener = QStringLiteral("xdg-open"));
    // False when no opener or browser could be started; true when the
    // opener runs (a later failure of it is reported when it ends).
    bool OpenUrl(const CString& strUrl) override;
    // Openers started and not yet ended.
    int RunningOpeners() const { return m_nRunning; }

private:
    static void ReportNoBrowser(const CString& strUrl);

    QString m_strOpener;
    int m_nRunning = 0;
};

class CQtBusyIndicator final : public IBusyIndicator
{
public:
    void Begin() override;
    void End() override;
};

// Installs the services above (and any that later parts of the window add)
// for the rest of the run.
void InstallQtPlatform();
