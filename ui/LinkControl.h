#pragma once
// A control that opens a web address when it is clicked, under the
// pointing-hand cursor; without an address it opens its own text.

#include "framework/StringTypes.h"
#include "framework/qt/StaticControl.h"

#include <QCursor>

class CLinkControl : public CStaticControl
{
    Q_OBJECT

public:
    explicit CLinkControl(CString strURL);
    ~CLinkControl() override = default;

    void SetURL(const CString& strURL) { m_strURL = strURL; }
    const CString& GetURL() const { return m_strURL; }

protected:
    // Gives the widget the pointing-hand cursor.
    void PreSubclassWindow() override;
    bool OnSetCursor() override;
    void OnLButtonDown() override;

private:
    QCursor m_hCursor;
    CString m_strURL;
};
