#pragma once
// The Qt implementations of the platform services: the system clipboard
// (UTF-8 text), QMessageBox, QFileDialog and the desktop's web browser.

#include "framework/Platform.h"

class CQtClipboard final : public IClipboard
{
public:
    bool SetText(const CString& strText) override;
    CString GetText() const override;
};

class CQtMessageBox final : public IMessageBox
{
public:
    void Show(const CString& strText, EMessageIcon icon) override;
};

class CQtFileDialog final : public IFileDialog
{
public:
    CFileDialogResult Run(const CFileDialogRequest& request) override;
};

class CQtWebBrowser final : public IWebBrowser
{
public:
    bool OpenUrl(const CString& strUrl) override;
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
