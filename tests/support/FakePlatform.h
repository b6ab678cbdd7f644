#pragma once
// Scripted stand-ins for the platform services, installed for the lifetime
// of the object and removed again by its destructor.

#include "framework/Platform.h"
#include "framework/PrintDevice.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

class CFakeClipboard : public IClipboard
{
public:
    bool SetText(const CString& strText) override
    {
        m_strText = strText;
        ++m_nSetCount;
        return true;
    }
    CString GetText() const override { return m_strText; }

    CString m_strText;
    int m_nSetCount = 0;
};

class CFakeMessageBox : public IMessageBox
{
public:
    struct CShown
    {
        CString strText;
        EMessageIcon icon;
    };
    void Show(const CString& strText, EMessageIcon icon) override
    {
        m_shown.push_back({strText, icon});
    }
    std::vector<CShown> m_shown;
};

// Answers each dialog with the next scripted result; Cancel when none is left.
class CFakeFileDialog : public IFileDialog
{
public:
    CFileDialogResult Run(const CFileDialogRequest& request) override
    {
        m_requests.push_back(request);
        if (m_answers.empty())
            return {};
        CFileDialogResult result = m_answers.front();
        m_answers.pop_front();
        return result;
    }
    void Answer(const CString& strPath, int nFilterIndex = 1)
    {
        CFileDialogResult result;
        result.bOk = true;
        result.strPath = strPath;
        result.nFilterIndex = nFilterIndex;
        m_answers.push_back(result);
    }
    void Cancel() { m_answers.push_back({}); }

    std::deque<CFileDialogResult> m_answers;
    std::vector<CFileDialogRequest> m_requests;
};

class CFakeWebBrowser : public IWebBrowser
{
public:
    bool OpenUrl(const CString& strUrl) override
    {
        m_opened.push_back(strUrl);
        return true;
    }
    std::vector<CString> m_opened;
};

class CFakeHelpViewer : public IHelpViewer
{
public:
    bool ShowHelp(const CString& strHelpPath) override
    {
        m_shown.push_back(strHelpPath);
        return true;
    }
    std::vector<CString> m_shown;
};

struct CFakePlatform
{
    CFakePlatform()
    {
        platform::SetClipboard(&clipboard);
        platform::SetMessageBox(&messageBox);
        platform::SetFileDialog(&fileDialog);
        platform::SetWebBrowser(&browser);
        platform::SetHelpViewer(&help);
    }
    ~CFakePlatform()
    {
        platform::SetClipboard(nullptr);
        platform::SetMessageBox(nullptr);
        platform::SetFileDialog(nullptr);
        platform::SetWebBrowser(nullptr);
        platform::SetHelpViewer(nullptr);
    }
    CFakePlatform(const CFakePlatform&) = delete;
    CFakePlatform& operator=(const CFakePlatform&) = delete;

    CFakeClipboard clipboard;
    CFakeMessageBox messageBox;
    CFakeFileDialog fileDialog;
    CFakeWebBrowser browser;
    CFakeHelpViewer help;
};
