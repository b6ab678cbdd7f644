#pragma once
// A text link: blue, underlined, under the pointing-hand cursor; a click
// opens the product page.

#include "framework/PrintDevice.h"
#include "framework/StringTypes.h"
#include "framework/qt/StaticControl.h"

#include <QCursor>

class CHyperLink : public CStaticControl
{
    Q_OBJECT

public:
    CHyperLink();
    ~CHyperLink() override = default;

    const CString& GetURL() const { return m_strURL; }
    COLORREF GetTextColor() const { return m_crText; }

protected:
    void PreSubclassWindow() override;
    bool OnSetCursor() override;
    void OnLButtonDown() override;

private:
    COLORREF m_crText;
    QCursor m_hCursor;
    CString m_strURL;
};
