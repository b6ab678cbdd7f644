#include "AboutDlg.h"
#include "framework/qt/DataExchange.h"

#include "res/Resource.h"

CAboutDlg::CAboutDlg(QWidget* pParent) : CDialogBase(IDD_ABOUTBOX, pParent) {}

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialogBase::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_BANNER_ABOUT, m_bannerLink);
    DDX_Control(pDX, IDC_LINK, m_link);
}

bool CAboutDlg::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    return true;
}
