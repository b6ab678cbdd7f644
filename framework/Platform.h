#pragma once
// The platform services that commands reach: the clipboard, message boxes,
// the file dialogs, the web browser and the help viewer.
//
// Each service is a small interface. The window installs the Qt
// implementations at start; tests install scripted stand-ins; the
// command-line program keeps the defaults, which hold the clipboard in
// memory, answer every dialog with Cancel and write messages to stderr.

#include "StringTypes.h"

#include <utility>
#include <vector>

class IClipboard
{
public:
    virtual ~IClipboard() = default;
    // Replaces the clipboard's contents with a text (UTF-8 bytes).
    virtual bool SetText(const CString& strText) = 0;
    virtual CString GetText() const = 0;
};

enum class EMessageIcon { Stop, Exclamation, Information, Question };

// The answers to the question whether rows go into a file or replace it.
enum class EAddOrReplace { Add, Replace, Cancel };

class IMessageBox
{
public:
    virtual ~IMessageBox() = default;
    virtual void Show(const CString& strText, EMessageIcon icon) = 0;
    // Asks a question with Yes and No, No the default; true for Yes. A box
    // that cannot take an answer shows the question and answers No, which
    // keeps what the question is about.
    virtual bool AskYesNo(const CString& strQuestion)
    {
        Show(strQuestion, EMessageIcon::Question);
        return false;
    }
    // Asks with Add, Replace and Cancel whether rows are added to an
    // existing file or replace it; Add, which keeps what the file holds, is
    // the default. A box that cannot take an answer shows the question and
    // answers Cancel, which leaves the file alone.
    virtual EAddOrReplace AskAddOrReplace(const CString& strQuestion)
    {
        Show(strQuestion, EMessageIcon::Question);
        return EAddOrReplace::Cancel;
    }
};

// The default message box, the command-line program's: each message a line
// on stderr, every question answered as a box that cannot take an answer
// answers it.
class CStderrMessageBox : public IMessageBox
{
public:
    void Show(const CString& strText, EMessageIcon icon) override;
};

// One entry of a filter text such as "Text (*.txt)|*.txt|CSV (*.csv)|*.csv||".
struct CFileFilter
{
    CString strDescription;
    CString strPattern; // may be empty
};

// Splits a filter text at its vertical bars into description and pattern
// pairs; an empty description ends the list, as the double bar at the end
// of such texts does.
std::vector<CFileFilter> ParseFileFilter(const CString& strFilter);

struct CFileDialogRequest
{
    bool bOpen = true;            // an open dialog, or a save dialog
    CString strFilter;            // the filter text, bars and all
    CString strInitialDir;        // where the dialog starts (may name a file)
    bool bOverwritePrompt = true; // a save dialog asks before replacing a file
};

struct CFileDialogResult
{
    bool bOk = false;
    CString strPath;      // the chosen file's full path
    int nFilterIndex = 1; // 1-based index of the filter in force
};

class IFileDialog
{
public:
    virtual ~IFileDialog() = default;
    virtual CFileDialogResult Run(const CFileDialogRequest& request) = 0;
};

class IWebBrowser
{
public:
    virtual ~IWebBrowser() = default;
    // Opens a web address in the user's browser.
    virtual bool OpenUrl(const CString& strUrl) = 0;
};

class IHelpViewer
{
public:
    virtual ~IHelpViewer() = default;
    // Opens the help file at strHelpPath at its default topic.
    virtual bool ShowHelp(const CString& strHelpPath) = 0;
};

// Shows that the program is busy (the window's busy cursor).
class IBusyIndicator
{
public:
    virtual ~IBusyIndicator() = default;
    virtual void Begin() = 0;
    virtual void End() = 0;
};

class IPrintDialog;

namespace platform {

IClipboard& Clipboard();
IMessageBox& MessageBox();
IFileDialog& FileDialog();
IWebBrowser& WebBrowser();
IHelpViewer& HelpViewer();
IPrintDialog& PrintDialog();
IBusyIndicator& BusyIndicator();

// Installs a service; nullptr puts the default back. The caller keeps
// ownership and must keep the object alive while it is installed.
void SetClipboard(IClipboard* pService);
void SetMessageBox(IMessageBox* pService);
void SetFileDialog(IFileDialog* pService);
void SetWebBrowser(IWebBrowser* pService);
void SetHelpViewer(IHelpViewer* pService);
void SetPrintDialog(IPrintDialog* pService);
void SetBusyIndicator(IBusyIndicator* pService);

// The process's current directory, and changing it.
CString GetCurrentDirectory();
bool SetCurrentDirectory(const CString& strPath);

// The running executable's full path.
CString GetModuleFileName();

// The path from which the program's shared files (the sample folder and the
// user guide) are found, as if the executable lay there: the executable's own
// path when a folder Sample1/ lies beside it (a build folder), otherwise the
// same file name in share/korvane/ of the folder above when that exists (an
// installed program: /usr/bin/korvane gives /usr/share/korvane/korvane), and
// otherwise the executable's own path. A path that is not absolute is given
// back as it is.
CString SharedFilesPathFor(const CString& strExecutable);

} // namespace platform

// Shows the busy indicator for its lifetime.
class CWaitCursor
{
public:
    CWaitCursor() { platform::BusyIndicator().Begin(); }
    ~CWaitCursor() { platform::BusyIndicator().End(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
