#pragma once
// A static control that shows a picture (the banner) inside its own
// rectangle, whatever the size the dialog's layout gives it.
//
// The platform sizes a picture control to its picture, which then covers
// whatever lies below it when the dialog font is smaller than the layout
// was drawn for. Here the picture is drawn as large as the control allows
// without distortion and never larger than it is, at the left; its last
// column is drawn on across the width that is left, so that a banner
// fills a wider window without a seam.

#include <QFrame>
#include <QPixmap>

class CPictureControl : public QFrame
{
    Q_OBJECT

public:
    CPictureControl(const QPixmap& picture, QWidget* pParent);

    const QPixmap& Picture() const { return m_picture; }
    // Where the picture itself is drawn, in the control's coordinates.
    QRect PictureRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    QPixmap m_picture;
};
