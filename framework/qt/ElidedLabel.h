#pragma once
// A label of one line that cuts its text with an ellipsis where the text
// does not fit, and then shows the whole text as its tooltip: the stand-in
// for a static control with the end-ellipsis style.

#include <QFrame>
#include <QString>

class CElidedLabel final : public QFrame
{
    Q_OBJECT

public:
    explicit CElidedLabel(QWidget* pParent = nullptr);

    void setText(const QString& text);
    QString text() const { return m_text; }
    // True when the text is cut at the label's present width.
    bool IsElided() const;

    // Asks for one line only: the text never widens the layout.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    void UpdateToolTip();

    QString m_text;
};
