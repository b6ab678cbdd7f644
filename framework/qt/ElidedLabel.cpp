#include "ElidedLabel.h"

#include <QPainter>
#include <QStyle>

CElidedLabel::CElidedLabel(QWidget* pParent) : QFrame(pParent)
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void CElidedLabel::setText(const QString& text)
{
    // A line break would start a second line that is never seen.
    QString oneLine = text;
    oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (oneLine == m_text)
        return;
    m_text = oneLine;
    // A screen reader reads the whole text, cut or not.
    setAccessibleName(oneLine);
    UpdateToolTip();
    update();
}

bool CElidedLabel::IsElided() const
{
    return fontMetrics().horizontalAdvance(m_text) > contentsRect().width();
}

QSize CElidedLabel::sizeHint() const
{
    return QSize(fontMetrics().averageCharWidth() * 8, fontMetrics().height());
}

QSize CElidedLabel::minimumSizeHint() const { return sizeHint(); }

void CElidedLabel::paintEvent(QPaintEvent* pEvent)
{
    QFrame::paintEvent(pEvent);
    QPainter painter(this);
    const QRect rect = contentsRect();
    const QString shown = fontMetrics().elidedText(m_text, Qt::ElideRight, rect.width());
    style()->drawItemText(&painter, rect, Qt::AlignLeft | Qt::AlignVCenter, palette(), isEnabled(),
                          shown, foregroundRole());
}

void CElidedLabel::resizeEvent(QResizeEvent* pEvent)
{
    QFrame::resizeEvent(pEvent);
    UpdateToolTip();
}

void CElidedLabel::UpdateToolTip() { setToolTip(IsElided() ? m_text : QString()); }
