#include "ParseStatus.h"

#include "framework/Platform.h"
#include "framework/qt/ElidedLabel.h"
#include "framework/qt/MultiLineEdit.h"
#include "framework/qt/QtString.h"

#include <QTextBlock>

#include <string>

void CParseStatus::Attach(CElidedLabel* pText, QWidget* pGoTo, CMultiLineEdit* pData)
{
    m_pText = pText;
    m_pGoTo = pGoTo;
    m_pData = pData;
    Clear();
}

CString CParseStatus::Sentence(const CParseReport& report, bool bBoxesIgnored)
{
    // The reason a changed template seems to do nothing comes first, where
    // the line does not cut it off.
    const CString strSentence = ReportSentence(report);
    return bBoxesIgnored ? "Parsed the loaded files, not the edited boxes: " + strSentence
                         : strSentence;
}

void CParseStatus::Show(const CParseReport& report, bool bBoxesIgnored, bool bInBox)
{
    m_nStopLine = report.eEnd == CParseReport::EEnd::Mismatch && bInBox ? report.nStopLine : 0;
    if (m_pText != nullptr)
        m_pText->setText(ToQt(Sentence(report, bBoxesIgnored)));
    if (m_pGoTo != nullptr)
        m_pGoTo->setVisible(m_nStopLine > 0);
}

void CParseStatus::Clear()
{
    m_nStopLine = 0;
    if (m_pText != nullptr)
        m_pText->setText(QString());
    if (m_pGoTo != nullptr)
        m_pGoTo->setVisible(false);
}

CString CParseStatus::GetText() const
{
    return m_pText != nullptr ? FromQt(m_pText->text()) : CString();
}

bool CParseStatus::GoToStopLine()
{
    if (m_pData == nullptr || m_nStopLine == 0)
        return false;
    // A large text is shown only as its first lines, and the note under
    // them is not one of its lines.
    const int nLines = m_pData->document()->blockCount() - (m_pData->IsShowingPart() ? 1 : 0);
    if (m_nStopLine > static_cast<size_t>(nLines)) {
        platform::MessageBox().Show("Line " + std::to_string(m_nStopLine) +
                                        " lies beyond the first " + std::to_string(nLines) +
                                        " lines that the data box shows.",
                                    EMessageIcon::Information);
        return false;
    }
    const QTextBlock block =
        m_pData->document()->findBlockByNumber(static_cast<int>(m_nStopLine) - 1);
    // Selected from its end back to its start, so that a long line shows
    // its start.
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.setPosition(block.position(), QTextCursor::KeepAnchor);
    m_pData->setTextCursor(cursor);
    m_pData->centerCursor();
    m_pData->setFocus(Qt::OtherFocusReason);
    return true;
}
