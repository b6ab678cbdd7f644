#pragma once
// A picture that opens the product page when it is clicked, under the
// pointing-hand cursor.

#include "framework/StringTypes.h"
#include "framework/qt/StaticControl.h"

#include <QCursor>

class CBannerLink : public CStaticControl
{
    Q_OBJECT

public:
    CBannerLink();
    ~CBannerLink() override = default;

    void SetURL(const CString& strURL) { m_strURL = strURL; }
    const CString& GetURL() const { return m_strURL; }

protected:
    void PreSubclassWindow() override;
    bool OnSetCursor() override;
    void OnLButtonDown() override;

private:
    QCursor m_hCursor;
    CString m_strURL;
};
