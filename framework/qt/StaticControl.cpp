#include "StaticControl.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

void CStaticControl::SubclassWindow(QWidget* pWidget)
{
    if (m_pWidget != nullptr)
        m_pWidget->removeEventFilter(this);
    m_pWidget = pWidget;
    if (pWidget == nullptr)
        return;
    PreSubclassWindow();
    pWidget->installEventFilter(this);
    pWidget->setMouseTracking(true);
}

CString CStaticControl::GetWindowText() const
{
    if (const auto* pLabel = qobject_cast<const QLabel*>(m_pWidget.data()))
        return pLabel->text().toUtf8().toStdString();
    return m_pWidget != nullptr ? m_pWidget->windowTitle().toUtf8().toStdString() : CString();
}

bool CStaticControl::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched == m_pWidget) {
        switch (pEvent->type()) {
        case QEvent::Enter:
        case QEvent::MouseMove:
            OnSetCursor();
            break;
        case QEvent::MouseButtonPress:
            if (static_cast<QMouseEvent*>(pEvent)->button() == Qt::LeftButton)
                OnLButtonDown();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(pWatched, pEvent);
}
