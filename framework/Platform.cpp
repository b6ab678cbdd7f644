#include "Platform.h"

#include "PrintDevice.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <sys/stat.h>
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

void CStderrMessageBox::Show(const CString& strText, EMessageIcon /*icon*/)
{
    std::fprintf(stderr, "%s\n", strText.c_str());
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

// The one slot of an interface, made on first use.
template <class TInterface, class TDefault>
CSlot<TInterface, TDefault>& SlotOf()
{
    static CSlot<TInterface, TDefault> slot;
    return slot;
}

} // namespace

namespace platform {

IClipboard& Clipboard() { return SlotOf<IClipboard, CMemoryClipboard>().Get(); }
IMessageBox& MessageBox() { return SlotOf<IMessageBox, CStderrMessageBox>().Get(); }
IFileDialog& FileDialog() { return SlotOf<IFileDialog, CCancellingFileDialog>().Get(); }
IWebBrowser& WebBrowser() { return SlotOf<IWebBrowser, CNoBrowser>().Get(); }
IHelpViewer& HelpViewer() { return SlotOf<IHelpViewer, CNoHelp>().Get(); }
IPrintDialog& PrintDialog() { return SlotOf<IPrintDialog, CCancellingPrintDialog>().Get(); }
IBusyIndicator& BusyIndicator() { return SlotOf<IBusyIndicator, CNoBusyIndicator>().Get(); }

void SetClipboard(IClipboard* pService)
{
    SlotOf<IClipboard, CMemoryClipboard>().pInstalled = pService;
}
void SetMessageBox(IMessageBox* pService)
{
    SlotOf<IMessageBox, CStderrMessageBox>().pInstalled = pService;
}
void SetFileDialog(IFileDialog* pService)
{
    SlotOf<IFileDialog, CCancellingFileDialog>().pInstalled = pService;
}
void SetWebBrowser(IWebBrowser* pService)
{
    SlotOf<IWebBrowser, CNoBrowser>().pInstalled = pService;
}
void SetHelpViewer(IHelpViewer* pService) { SlotOf<IHelpViewer, CNoHelp>().pInstalled = pService; }
void SetPrintDialog(IPrintDialog* pService)
{
    SlotOf<IPrintDialog, CCancellingPrintDialog>().pInstalled = pService;
}
void SetBusyIndicator(IBusyIndicator* pService)
{
    SlotOf<IBusyIndicator, CNoBusyIndicator>().pInstalled = pService;
}

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

CString SharedFilesPathFor(const CString& strExecutable)
{
    const auto isFolder = [](const CString& strPath) {
        struct stat info = {};
        return ::stat(strPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    };
    const size_t nSlash = strExecutable.rfind('/');
    if (strExecutable.empty() || strExecutable[0] != '/' ||
        isFolder(strExecutable.substr(0, nSlash + 1) + "Sample1"))
        return strExecutable;
    // The folder above is taken from the path's text: the executable's path
    // comes from the kernel with every link resolved. The root is its own.
    const size_t nUp = nSlash == 0 ? 0 : strExecutable.rfind('/', nSlash - 1);
    const CString strShare = strExecutable.substr(0, nUp + 1) + "share/korvane/";
    if (!isFolder(strShare))
        return strExecutable;
    return strShare + strExecutable.substr(nSlash + 1);
}

} // namespace platform
