#include "MainApp.h"

#include "MainDlg.h"
#include "framework/Platform.h"
#include "framework/StringUtil.h"
#include "framework/qt/ResourceImages.h"
#include "res/Resource.h"

#include <QApplication>

namespace {
CMainApp* g_pApp = nullptr;
}

CMainApp* AfxGetMainApp() { return g_pApp; }

CMainApp::CMainApp()
{
    g_pApp = this;
    // Every window of the program shows its icon unless it sets one of its
    // own, as the main window does.
    QApplication::setWindowIcon(res::LoadIcon(IDR_MAINFRAME));
    m_strHelpPath = HelpPathFor(platform::SharedFilesPathFor(platform::GetModuleFileName()));
}

CMainApp::~CMainApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

CString CMainApp::HelpPathFor(const CString& strExecutable)
{
    CString strPath = strExecutable;
    const size_t nSlash = strPath.rfind('/');
    const size_t nDot = strPath.rfind('.');
    if (nDot != CString::npos && (nSlash == CString::npos || nDot > nSlash))
        strPath.erase(nDot);
    strPath += ".HLP";
    str::ReplaceAll(strPath, ".HLP", ".chm");
    return strPath;
}

bool CMainApp::InitInstance()
{
    // The platform's control-container and 3-D drawing switches have no
    // counterpart here: Qt draws every control itself.
    CMainDlg dlg;
    dlg.DoModal();
    return false;
}
