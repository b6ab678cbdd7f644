#pragma once
// A text link: blue, underlined, under the pointing-hand cursor; a click
// opens the product page.

#include "LinkControl.h"
#include "framework/PrintDevice.h"

class CHyperLink : public CLinkControl
{
    Q_OBJECT

public:
    CHyperLink();
    ~CHyperLink() override = default;

    COLORREF GetTextColor() const { return m_crText; }

protected:
    void PreSubclassWindow() override;

private:
    COLORREF m_crText;
};
