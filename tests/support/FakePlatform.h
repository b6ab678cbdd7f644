#pragma once
// Scripted stand-ins for the platform services, installed for the lifetime
// of the object and removed again by its destructor.

#include "framework/Platform.h"
#include "framework/PrintDevice.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// The next scripted answer, or fallback when none is left.
template <class T>
T NextAnswer(std::deque<T>& answers, T fallback)
{
    if (answers.empty())
        return fallback;
    T answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

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
    // Answers each question with the next scripted answer; Yes when none is
    // left, so that a test's window closes at its end.
    bool AskYesNo(const CString& strQuestion) override
    {
        m_questions.push_back(strQuestion);
        return NextAnswer(m_answers, true);
    }
    // The next scripted choice; Add, the default, when none is left.
    EAddOrReplace AskAddOrReplace(const CString& strQuestion) override
    {
        m_questions.push_back(strQuestion);
        return NextAnswer(m_choices, EAddOrReplace::Add);
    }
    std::vector<CShown> m_shown;
    std::vector<CString> m_questions;
    std::deque<bool> m_answers;
    std::deque<EAddOrReplace> m_choices;
};

// Answers each dialog with the next scripted result; Cancel when none is left.
class CFakeFileDialog : public IFileDialog
{
public:
    CFileDialogResult Run(const CFileDialogRequest& request) override
    {
        m_requests.push_back(request);
        return NextAnswer(m_answers, CFileDialogResult{});
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

// Records what it is asked to open and says that it opened it.
template <class TService>
class CRecordingOpener : public TService
{
public:
    std::vector<CString> m_opened;

protected:
    bool Record(const CString& strOpened)
    {
        m_opened.push_back(strOpened);
        return true;
    }
};

class CFakeWebBrowser : public CRecordingOpener<IWebBrowser>
{
public:
    bool OpenUrl(const CString& strUrl) override { return Record(strUrl); }
};

class CFakeHelpViewer : public CRecordingOpener<IHelpViewer>
{
public:
    bool ShowHelp(const CString& strHelpPath) override { return Record(strHelpPath); }
};

// Hands out the next scripted device; Cancel (nullptr) when none is left.
class CFakePrintDialog : public IPrintDialog
{
public:
    using DeviceFactory = std::function<std::unique_ptr<IPrintDevice>()>;
    std::unique_ptr<IPrintDevice> Run() override
    {
        ++m_nRuns;
        const DeviceFactory factory = NextAnswer(m_answers, DeviceFactory());
        return factory ? factory() : nullptr;
    }
    void Answer(DeviceFactory factory) { m_answers.push_back(std::move(factory)); }
    void Cancel() { m_answers.push_back(nullptr); }

    std::deque<DeviceFactory> m_answers;
    int m_nRuns = 0;
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
        platform::SetPrintDialog(&printDialog);
    }
    ~CFakePlatform()
    {
        platform::SetClipboard(nullptr);
        platform::SetMessageBox(nullptr);
        platform::SetFileDialog(nullptr);
        platform::SetWebBrowser(nullptr);
        platform::SetHelpViewer(nullptr);
        platform::SetPrintDialog(nullptr);
    }
    CFakePlatform(const CFakePlatform&) = delete;
    CFakePlatform& operator=(const CFakePlatform&) = delete;

    CFakeClipboard clipboard;
    CFakeMessageBox messageBox;
    CFakeFileDialog fileDialog;
    CFakeWebBrowser browser;
    CFakeHelpViewer help;
    CFakePrintDialog printDialog;
};
