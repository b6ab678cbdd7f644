#include "LinkControl.h"

#include "framework/Platform.h"
#include "framework/qt/ResourceImages.h"
#include "res/Resource.h"

#include <utility>

CLinkControl::CLinkControl(CString strURL)
    : m_hCursor(res::LoadCursor(IDC_CURSOR_HAND)), m_strURL(std::move(strURL))
{}

void CLinkControl::PreSubclassWindow() { GetWidget()->setCursor(m_hCursor); }

bool CLinkControl::OnSetCursor()
{
    if (GetWidget() == nullptr)
        return false;
    GetWidget()->setCursor(m_hCursor);
    return true;
}

void CLinkControl::OnLButtonDown()
{
    if (m_strURL.empty())
        m_strURL = GetWindowText();
    platform::WebBrowser().OpenUrl(m_strURL);
}
