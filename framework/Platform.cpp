#include "Platform.h"

#include "PrintDevice.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <unistd.h>

std::vector<CFileFilter> ParseFileFilter(const CString& strFilter)
{
    std::vector<CString> parts;
    size_t nFrom = 0;
    for (;;) {
        const size_t nBar = strFilter.find('|', nFrom);
        if (nBar == CString::npos) {
            if (nFrom < strFilter.size())
                parts.push_back(strFilter.substr(nFrom));
            break;
        }
        parts.push_back(strFilter.substr(nFrom, nBar - nFrom));
        nFrom = nBar + 1;
    }
    std::vector<CFileFilter> filters;
    for (size_t i = 0; i < parts.size(); i += 2) {
        if (parts[i].empty())
            break;
        CFileFilter filter;
        filter.strDescription = parts[i];
        if (i + 1 < parts.size())
            filter.strPattern = parts[i + 1];
        filters.push_back(filter);
    }
    return filters;
}

namespace {

class CMemoryClipboard final : public IClipboard
{
public:
    bool SetText(const CString& strText) override
    {
        m_strText = strText;
        return true;
    }
    CString GetText() const override { return m_strText; }

private:
    CString m_strText;
};

class CStderrMessageBox final : public IMessageBox
{
public:
    void Show(const CString& strText, EMessageIcon /*icon*/) override
    {
        std::fprintf(stderr, "%s\n", strText.c_str());
    }
};

class CCancellingFileDialog final : public IFileDialog
{
public:
    CFileDialogResult Run(const CFileDialogRequest& /*request*/) override { return {}; }
};

class CNoBrowser final : public IWebBrowser
{
public:
    bool OpenUrl(const CString& /*strUrl*/) override { return false; }
};

class CNoHelp final : public IHelpViewer
{
public:
    bool ShowHelp(const CString& /*strHelpPath*/) override { return false; }
};

class CCancellingPrintDialog final : public IPrintDialog
{
public:
    std::unique_ptr<IPrintDevice> Run() override { return nullptr; }
};

class CNoBusyIndicator final : public IBusyIndicator
{
public:
    void Begin() override {}
    void End() override {}
};

template <class TInterface, class TDefault>
struct CSlot
{
    TDefault defaultService;
    TInterface* pInstalled = nullptr;
    TInterface& Get() { return pInstalled != nullptr ? *pInstalled : defaultService; }
};

CSlot<IClipboard, CMemoryClipboard>& ClipboardSlot()
{
    static CSlot<IClipboard, CMemoryClipboard> slot;
    return slot;
}
CSlot<IMessageBox, CStderrMessageBox>& MessageBoxSlot()
{
    static CSlot<IMessageBox, CStderrMessageBox> slot;
    return slot;
}
CSlot<IFileDialog, CCancellingFileDialog>& FileDialogSlot()
{
    static CSlot<IFileDialog, CCancellingFileDialog> slot;
    return slot;
}
CSlot<IWebBrowser, CNoBrowser>& WebBrowserSlot()
{
    static CSlot<IWebBrowser, CNoBrowser> slot;
    return slot;
}
CSlot<IHelpViewer, CNoHelp>& HelpViewerSlot()
{
    static CSlot<IHelpViewer, CNoHelp> slot;
    return slot;
}
CSlot<IPrintDialog, CCancellingPrintDialog>& PrintDialogSlot()
{
    static CSlot<IPrintDialog, CCancellingPrintDialog> slot;
    return slot;
}

CSlot<IBusyIndicator, CNoBusyIndicator>& BusyIndicatorSlot()
{
    static CSlot<IBusyIndicator, CNoBusyIndicator> slot;
    return slot;
}

} // namespace

namespace platform {

IClipboard& Clipboard() { return ClipboardSlot().Get(); }
IMessageBox& MessageBox() { return MessageBoxSlot().Get(); }
IFileDialog& FileDialog() { return FileDialogSlot().Get(); }
IWebBrowser& WebBrowser() { return WebBrowserSlot().Get(); }
IHelpViewer& HelpViewer() { return HelpViewerSlot().Get(); }
IPrintDialog& PrintDialog() { return PrintDialogSlot().Get(); }
IBusyIndicator& BusyIndicator() { return BusyIndicatorSlot().Get(); }

void SetClipboard(IClipboard* pService) { ClipboardSlot().pInstalled = pService; }
void SetMessageBox(IMessageBox* pService) { MessageBoxSlot().pInstalled = pService; }
void SetFileDialog(IFileDialog* pService) { FileDialogSlot().pInstalled = pService; }
void SetWebBrowser(IWebBrowser* pService) { WebBrowserSlot().pInstalled = pService; }
void SetHelpViewer(IHelpViewer* pService) { HelpViewerSlot().pInstalled = pService; }
void SetPrintDialog(IPrintDialog* pService) { PrintDialogSlot().pInstalled = pService; }
void SetBusyIndicator(IBusyIndicator* pService) { BusyIndicatorSlot().pInstalled = pService; }

CString GetCurrentDirectory()
{
    std::vector<char> buffer(PATH_MAX + 1, '\0');
    if (::getcwd(buffer.data(), buffer.size()) == nullptr)
        return {};
    return CString(buffer.data());
}

bool SetCurrentDirectory(const CString& strPath)
{
    return !strPath.empty() && ::chdir(strPath.c_str()) == 0;
}

CString GetModuleFileName()
{
    std::vector<char> buffer(PATH_MAX + 1, '\0');
    const ssize_t nLen = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (nLen <= 0)
        return {};
    return CString(buffer.data(), static_cast<size_t>(nLen));
}

} // namespace platform
