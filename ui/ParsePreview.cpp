#include "ParsePreview.h"

#include "framework/qt/MultiLineEdit.h"
#include "framework/qt/QtString.h"

#include <QEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QTextBlock>
#include <QToolTip>

#include <array>

namespace {

// Translucent, so that the text keeps the palette's own colour and the
// box's background shows through: a light tint on a light box, a dark one
// on a dark box.
constexpr int kMarkAlpha = 96;

// Tooltips are rich text, so that no caption or line is taken for markup.
QString Escaped(const CString& strText) { return ToQt(strText).toHtmlEscaped(); }

} // namespace

CParsePreview::CParsePreview(const CSources& sources, QObject* pParent)
    : QObject(pParent), m_sources(sources),
      m_worker([this](unsigned nGeneration, CPreviewMarks marks) {
          // Back to the window's thread; a preview gone by then takes the
          // call with it.
          QMetaObject::invokeMethod(
              this,
              [this, nGeneration, marks = std::move(marks)]() mutable {
                  Show(nGeneration, std::move(marks));
              },
              Qt::QueuedConnection);
      })
{
    setObjectName(QStringLiteral("livePreview"));
    m_timer.setSingleShot(true);
    m_timer.setInterval(kDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &CParsePreview::Start);
    for (CMultiLineEdit* pEdit : {m_sources.pTemplate, m_sources.pData}) {
        if (pEdit != nullptr)
            connect(pEdit, &QPlainTextEdit::textChanged, this, &CParsePreview::Schedule);
    }
    for (QLineEdit* pLine :
         {m_sources.pStartTag, m_sources.pEndTag, m_sources.pAllowedChars, m_sources.pCrCl}) {
        if (pLine != nullptr)
            connect(pLine, &QLineEdit::textChanged, this, &CParsePreview::Schedule);
    }
    if (m_sources.pData != nullptr) {
        // The value marks move with an edit of the data; the line of a stop
        // may no longer be one until the next preview says so.
        connect(m_sources.pData, &QPlainTextEdit::textChanged, this, &CParsePreview::DropStopMark);
        m_sources.pData->viewport()->installEventFilter(this);
    }
    if (m_sources.pHeader != nullptr)
        m_sources.pHeader->viewport()->installEventFilter(this);
    Schedule();
}

CParsePreview::~CParsePreview() = default;

QColor CParsePreview::FieldColor(int nField)
{
    static const std::array<QColor, 8> kColors = {
        QColor(0x3b, 0x82, 0xf6), QColor(0xf5, 0x9e, 0x0b), QColor(0x10, 0xb9, 0x81),
        QColor(0xd9, 0x46, 0xef), QColor(0x06, 0xb6, 0xd4), QColor(0xea, 0xb3, 0x08),
        QColor(0x8b, 0x5c, 0xf6), QColor(0x84, 0xcc, 0x16),
    };
    return kColors[static_cast<size_t>(nField) % kColors.size()];
}

QColor CParsePreview::StopColor() { return QColor(0xef, 0x44, 0x44); }

void CParsePreview::SetEnabled(bool bEnabled)
{
    if (bEnabled == m_bEnabled)
        return;
    m_bEnabled = bEnabled;
    if (bEnabled) {
        Schedule();
        return;
    }
    m_timer.stop();
    // A parse under way is shown by no one.
    ++m_nGeneration;
    m_bPending = false;
    m_marks = CPreviewMarks();
    ApplyMarks();
}

void CParsePreview::Schedule()
{
    if (!m_bEnabled)
        return;
    m_bPending = true;
    m_timer.start();
}

CPreviewInput CParsePreview::Snapshot() const
{
    CPreviewInput input;
    const auto textOf = [](const QLineEdit* pLine) {
        return pLine != nullptr ? FromQt(pLine->text()) : CString();
    };
    input.settings.strStartTag = textOf(m_sources.pStartTag);
    input.settings.strEndTag = textOf(m_sources.pEndTag);
    input.settings.strAllowedChars = textOf(m_sources.pAllowedChars);
    input.settings.strCrCl = textOf(m_sources.pCrCl);
    if (m_sources.pTemplate != nullptr)
        input.strTemplate = m_sources.pTemplate->GetText();
    if (m_sources.pData == nullptr)
        return input;
    // The lines as the box shows them; the note under a text shown in part
    // is not data.
    const QTextDocument* pDocument = m_sources.pData->document();
    const int nBlocks = pDocument->blockCount() - (m_sources.pData->IsShowingPart() ? 1 : 0);
    for (QTextBlock block = pDocument->firstBlock();
         block.isValid() && block.blockNumber() < nBlocks; block = block.next()) {
        const QByteArray line = block.text().toUtf8();
        if (!input.AddLine(std::string_view(line.constData(), static_cast<size_t>(line.size()))))
            break;
    }
    return input;
}

void CParsePreview::Start()
{
    if (!m_bEnabled)
        return;
    m_worker.Post(++m_nGeneration, Snapshot());
}

void CParsePreview::Show(unsigned nGeneration, CPreviewMarks marks)
{
    // A newer change has started a newer parse, or the preview was
    // switched off.
    if (nGeneration != m_nGeneration || !m_bEnabled)
        return;
    m_marks = std::move(marks);
    ApplyMarks();
    m_bPending = m_timer.isActive();
    emit MarksShown();
}

void CParsePreview::ApplyMarks()
{
    CMultiLineEdit* pData = m_sources.pData;
    if (pData == nullptr)
        return;
    QList<QTextEdit::ExtraSelection> selections;
    const QTextDocument* pDocument = pData->document();
    if (m_marks.nStopLine >= 0) {
        const QTextBlock block = pDocument->findBlockByNumber(m_marks.nStopLine);
        if (block.isValid()) {
            QTextEdit::ExtraSelection stop;
            stop.cursor = QTextCursor(block);
            QColor back = StopColor();
            back.setAlpha(kMarkAlpha);
            stop.format.setBackground(back);
            stop.format.setProperty(QTextFormat::FullWidthSelection, true);
            selections.append(stop);
        }
    }
    QTextBlock block = pDocument->firstBlock();
    for (const CPreviewSpan& span : m_marks.spans) {
        if (block.blockNumber() != span.nLine)
            block = pDocument->findBlockByNumber(span.nLine);
        if (!block.isValid() || span.nStart + span.nLength > block.length())
            continue;
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(block);
        mark.cursor.setPosition(block.position() + span.nStart);
        mark.cursor.setPosition(block.position() + span.nStart + span.nLength,
                                QTextCursor::KeepAnchor);
        const QColor color = FieldColor(span.nField);
        QColor back = color;
        back.setAlpha(kMarkAlpha);
        mark.format.setBackground(back);
        mark.format.setUnderlineStyle(QTextCharFormat::SingleUnderline);
        mark.format.setUnderlineColor(color);
        selections.append(mark);
    }
    pData->setExtraSelections(selections);
}

void CParsePreview::DropStopMark()
{
    if (m_marks.nStopLine < 0)
        return;
    m_marks.nStopLine = -1;
    ApplyMarks();
}

bool CParsePreview::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pEvent->type() != QEvent::ToolTip || !m_bEnabled)
        return QObject::eventFilter(pWatched, pEvent);
    const auto* pHelp = static_cast<QHelpEvent*>(pEvent);
    QString text;
    if (m_sources.pData != nullptr && pWatched == m_sources.pData->viewport())
        text = DataToolTip(pHelp->pos());
    else if (m_sources.pHeader != nullptr && pWatched == m_sources.pHeader->viewport())
        text = HeaderToolTip(pHelp->pos());
    if (text.isEmpty())
        return QObject::eventFilter(pWatched, pEvent);
    QToolTip::showText(pHelp->globalPos(), text, qobject_cast<QWidget*>(pWatched));
    return true;
}

QString CParsePreview::DataToolTip(const QPoint& ptViewport) const
{
    const QTextCursor cursor = m_sources.pData->cursorForPosition(ptViewport);
    const int nLine = cursor.blockNumber();
    const int nColumn = cursor.positionInBlock();
    for (const CPreviewSpan& span : m_marks.spans) {
        if (span.nLine == nLine && nColumn >= span.nStart && nColumn < span.nStart + span.nLength &&
            static_cast<size_t>(span.nField) < m_marks.captions.size())
            return QStringLiteral("<qt>Preview: a value of the field \"%1\"</qt>")
                .arg(Escaped(m_marks.captions[static_cast<size_t>(span.nField)]));
    }
    if (nLine == m_marks.nStopLine)
        return QStringLiteral("<qt>Preview: %1</qt>").arg(Escaped(m_marks.strSentence));
    return {};
}

QString CParsePreview::HeaderToolTip(const QPoint& ptViewport) const
{
    const int nSection = m_sources.pHeader->logicalIndexAt(ptViewport);
    if (nSection < 0 || m_sources.pHeader->model() == nullptr)
        return {};
    const CString strCaption =
        FromQt(m_sources.pHeader->model()->headerData(nSection, Qt::Horizontal).toString());
    for (size_t i = 0; i < m_marks.captions.size(); ++i) {
        if (m_marks.captions[i] != strCaption)
            continue;
        return QStringLiteral(
                   "<qt><span style=\"background-color:%1\">&nbsp;&nbsp;&nbsp;&nbsp;</span>"
                   "&nbsp;%2: its values are marked in this colour in the data box</qt>")
            .arg(FieldColor(static_cast<int>(i)).name(), Escaped(strCaption));
    }
    return {};
}
