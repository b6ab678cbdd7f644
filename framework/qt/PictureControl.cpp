#include "PictureControl.h"

#include <QPainter>

CPictureControl::CPictureControl(const QPixmap& picture, QWidget* pParent)
    : QFrame(pParent), m_picture(picture)
{}

QSize CPictureControl::sizeHint() const
{
    const int nFrame = 2 * frameWidth();
    return m_picture.deviceIndependentSize().toSize() + QSize(nFrame, nFrame);
}

QRect CPictureControl::PictureRect() const
{
    const QRect area = contentsRect();
    if (m_picture.isNull() || area.isEmpty())
        return QRect(area.topLeft(), QSize(0, 0));
    QSize size = m_picture.deviceIndependentSize().toSize();
    if (size.width() > area.width() || size.height() > area.height())
        size.scale(area.size(), Qt::KeepAspectRatio);
    // Centred in the height that is left when the width limits the picture.
    return QRect(QPoint(area.x(), area.y() + (area.height() - size.height()) / 2), size);
}

void CPictureControl::paintEvent(QPaintEvent* pEvent)
{
    QFrame::paintEvent(pEvent);
    const QRect picture = PictureRect();
    if (picture.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect area = contentsRect();
    const int nPixelsX = m_picture.width();
    const int nPixelsY = m_picture.height();
    // Above and below a picture that the width limits: its top and bottom
    // rows drawn on.
    if (picture.y() > area.y()) {
        painter.drawPixmap(QRect(area.x(), area.y(), picture.width(), picture.y() - area.y()),
                           m_picture, QRect(0, 0, nPixelsX, 1));
        painter.drawPixmap(QRect(area.x(), picture.y() + picture.height(), picture.width(),
                                 area.y() + area.height() - picture.y() - picture.height()),
                           m_picture, QRect(0, nPixelsY - 1, nPixelsX, 1));
    }
    painter.drawPixmap(picture, m_picture);
    const int nRest = area.x() + area.width() - picture.x() - picture.width();
    if (nRest > 0)
        painter.drawPixmap(QRect(picture.x() + picture.width(), area.y(), nRest, area.height()),
                           m_picture, QRect(nPixelsX - 1, 0, 1, nPixelsY));
}
