#pragma once

#include "BannerLink.h"
#include "HyperLink.h"
#include "framework/qt/DialogBase.h"

// The about box: the banner, the version, a notice and the product link.
class CAboutDlg : public CDialogBase
{
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* pParent = nullptr);
    ~CAboutDlg() override = default;

    CBannerLink m_bannerLink;
    CHyperLink m_link;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;
};
