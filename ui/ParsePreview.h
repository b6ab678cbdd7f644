#pragma once
// The live preview: while the template, the tags, Allowed Chars, CR/CL or
// the data box change, a copy of the first lines of the data box is parsed
// by the template box on a worker thread, a few hundred milliseconds after
// the last change, and the data box marks each captured value in its
// field's colour and the line where the walk would stop.
//
// The preview reads the boxes and nothing else, and writes only the data
// box's marks and tooltips: the result list, the window's members and
// everything Parse Data and the other commands read stay as they are.
// A large text that the data box shows only in part is previewed on the
// part shown.

#include "PreviewWorker.h"

#include <QColor>
#include <QObject>
#include <QTimer>

class CMultiLineEdit;
class QHeaderView;
class QLineEdit;

class CParsePreview final : public QObject
{
    Q_OBJECT

public:
    // The boxes the preview reads; the header of the result list shows the
    // colour of a field in its caption's tooltip.
    struct CSources
    {
        CMultiLineEdit* pTemplate = nullptr;
        CMultiLineEdit* pData = nullptr;
        QLineEdit* pStartTag = nullptr;
        QLineEdit* pEndTag = nullptr;
        QLineEdit* pAllowedChars = nullptr;
        QLineEdit* pCrCl = nullptr;
        QHeaderView* pHeader = nullptr;
    };

    // The quiet time after the last change before a preview parse starts.
    static constexpr int kDelayMs = 300;

    explicit CParsePreview(const CSources& sources, QObject* pParent = nullptr);
    ~CParsePreview() override;
    CParsePreview(const CParsePreview&) = delete;
    CParsePreview& operator=(const CParsePreview&) = delete;

    // Off, the marks go and no parse starts; on, a preview follows at once.
    void SetEnabled(bool bEnabled);
    bool IsEnabled() const { return m_bEnabled; }
    // True from a change until the marks of the parse it started are shown.
    bool IsPending() const { return m_bPending; }
    // The marks shown.
    const CPreviewMarks& Marks() const { return m_marks; }

    // The colours of the marks: readable under the text on light and dark
    // palettes alike.
    static QColor FieldColor(int nField);
    static QColor StopColor();

signals:
    void MarksShown();

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void Schedule();
    void Start();
    void Show(unsigned nGeneration, CPreviewMarks marks);
    void ApplyMarks();
    void DropStopMark();
    CPreviewInput Snapshot() const;
    QString DataToolTip(const QPoint& ptViewport) const;
    QString HeaderToolTip(const QPoint& ptViewport) const;

    CSources m_sources;
    QTimer m_timer;
    bool m_bEnabled = true;
    bool m_bPending = false;
    unsigned m_nGeneration = 0; // of the latest parse started
    CPreviewMarks m_marks;
    CPreviewWorker m_worker; // last: joined before the rest goes
};
