#include "MainApp.h"

#include "HelpPath.h"
#include "MainDlg.h"
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
    m_strHelpPath = ProgramHelpPath();
}

CMainApp::~CMainApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

CString CMainApp::HelpPathFor(const CString& strExecutable) { return ::HelpPathFor(strExecutable); }

bool CMainApp::InitInstance()
{
    // The platform's control-container and 3-D drawing switches have no
    // counterpart here: Qt draws every control itself.
    CMainDlg dlg;
    dlg.DoModal();
    return false;
}
