#include "HyperLink.h"

#include "framework/Platform.h"
#include "framework/ProductInfo.h"
#include "framework/qt/ResourceImages.h"
#include "res/Resource.h"

#include <QPalette>

CHyperLink::CHyperLink()
    : m_crText(RGB(0, 0, 255)), m_hCursor(res::LoadCursor(IDC_CURSOR_HAND)),
      m_strURL(CString(product::kProductPageUrl) + product::kLinkQuery)
{}

void CHyperLink::PreSubclassWindow()
{
    QWidget* pWidget = GetWidget();
    QFont font = pWidget->font();
    font.setUnderline(true);
    pWidget->setFont(font);
    // The text in the link colour on the dialog's own background.
    QPalette palette = pWidget->palette();
    palette.setColor(QPalette::WindowText,
                     QColor(GetRValue(m_crText), GetGValue(m_crText), GetBValue(m_crText)));
    pWidget->setPalette(palette);
    pWidget->setAutoFillBackground(false);
    pWidget->setCursor(m_hCursor);
}

bool CHyperLink::OnSetCursor()
{
    GetWidget()->setCursor(m_hCursor);
    return true;
}

void CHyperLink::OnLButtonDown()
{
    if (m_strURL.empty())
        m_strURL = GetWindowText();
    platform::WebBrowser().OpenUrl(m_strURL);
}
