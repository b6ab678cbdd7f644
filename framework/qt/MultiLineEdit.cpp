#include "MultiLineEdit.h"

#include "framework/Memory.h"
#include "framework/qt/QtString.h"

#include <QLocale>

#include <string_view>

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
    m_bPart = text.size() > kLargeText;
    std::string_view part = text;
    if (m_bPart) {
        // Cut after the last line end within the limit.
        const size_t nCut = part.rfind('\n', kShownPart);
        part = part.substr(0, nCut == std::string_view::npos ? kShownPart : nCut + 1);
    }
    QString shown = ToQt(part);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (m_bPart) {
        size_t nLines = text.back() == '\n' ? 0 : 1;
        for (const char ch : text)
            nLines += ch == '\n' ? 1 : 0;
        shown +=
            QStringLiteral("\n[Only the first %1 of %2 lines are shown. The whole text is kept "
                           "and parsed; it is too large to edit here.]")
                .arg(QLocale().toString(static_cast<qlonglong>(shown.count(QLatin1Char('\n')))))
                .arg(QLocale().toString(static_cast<qlonglong>(nLines)));
    }
    m_bSetting = true;
    setReadOnly(m_bPart);
    setPlainText(shown);
    m_bSetting = false;
    mem::AssignLarge(m_strShown, text);
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
