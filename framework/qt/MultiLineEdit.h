#pragma once
// A multi-line edit box: Enter inserts a line break, Tab moves the focus,
// lines are not wrapped. Its text is exchanged with CR LF line ends.
//
// A text document costs many times the text in memory and takes a long
// time to fill: a text of a hundred megabytes would hold the window for the
// better part of a minute. A text longer than kLargeText is therefore shown
// as its first lines (up to kShownPart bytes) with a note, read-only, while
// the box keeps the whole text and gives it back unchanged; a shorter text
// makes the box editable again.

#include "framework/StringTypes.h"

#include <QPlainTextEdit>

class CMultiLineEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit CMultiLineEdit(QWidget* pParent = nullptr);

    static constexpr size_t kLargeText = size_t{4} << 20;
    static constexpr size_t kShownPart = size_t{1} << 20;

    void SetText(const CString& text);
    CString GetText() const;
    // Whether GetText would give this text: a large text is compared, not
    // copied, when the box is read back unchanged.
    bool HoldsText(const CString& text) const { return m_bHaveText && text == m_strShown; }
    // True while a large text is shown only in part.
    bool IsShowingPart() const { return m_bPart; }

private:
    // The text last set, while nothing has changed it since.
    CString m_strShown;
    bool m_bHaveText = false;
    bool m_bSetting = false;
    bool m_bPart = false;
};
