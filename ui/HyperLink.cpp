#include "HyperLink.h"

#include "framework/ProductInfo.h"

#include <QPalette>

CHyperLink::CHyperLink()
    : CLinkControl(CString(product::kProductPageUrl) + product::kLinkQuery),
      m_crText(RGB(0, 0, 255))
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
    CLinkControl::PreSubclassWindow();
}
