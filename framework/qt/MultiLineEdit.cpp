#include "MultiLineEdit.h"

CMultiLineEdit::CMultiLineEdit(QWidget* pParent) : QPlainTextEdit(pParent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(true);
    // Any change that does not come from SetText makes the cached text stale.
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_bSetting)
            m_bHaveText = false;
    });
}

void CMultiLineEdit::SetText(const CString& text)
{
    // Putting a large text back unchanged would cost a full relayout.
    if (m_bHaveText && text == m_strShown)
        return;
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_bSetting = true;
    setPlainText(shown);
    m_bSetting = false;
    m_strShown = text;
    m_bHaveText = true;
}

CString CMultiLineEdit::GetText() const
{
    if (m_bHaveText)
        return m_strShown;
    const QByteArray bytes = toPlainText().toUtf8();
    const CString text(bytes.constData(), static_cast<size_t>(bytes.size()));
    CString result;
    result.reserve(text.size() + text.size() / 16);
    for (const char ch : text) {
        if (ch == '\n')
            result.push_back('\r');
        result.push_back(ch);
    }
    return result;
}

