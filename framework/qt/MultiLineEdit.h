#pragma once
// A multi-line edit box: Enter inserts a line break, Tab moves the focus,
// lines are not wrapped. Its text is exchanged with CR LF line ends.

#include "framework/StringTypes.h"

#include <QPlainTextEdit>

class CMultiLineEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit CMultiLineEdit(QWidget* pParent = nullptr);

    void SetText(const CString& text);
    CString GetText() const;

private:
    // The text last set, while nothing has changed it since.
    CString m_strShown;
    bool m_bHaveText = false;
    bool m_bSetting = false;
};
