#include "BannerLink.h"

#include "framework/Platform.h"
#include "framework/ProductInfo.h"
#include "framework/qt/ResourceImages.h"
#include "res/Resource.h"

CBannerLink::CBannerLink() : m_hCursor(res::LoadCursor(IDC_CURSOR_HAND))
{
    SetURL(CString(product::kProductPageUrl) + product::kBannerQuery);
}

void CBannerLink::PreSubclassWindow() { GetWidget()->setCursor(m_hCursor); }

bool CBannerLink::OnSetCursor()
{
    if (GetWidget() == nullptr)
        return false;
    GetWidget()->setCursor(m_hCursor);
    return true;
}

void CBannerLink::OnLButtonDown()
{
    if (m_strURL.empty())
        m_strURL = GetWindowText();
    platform::WebBrowser().OpenUrl(m_strURL);
}
