#pragma once
// The help window: the user guide's pages in a text browser with Back,
// Forward and Contents. Links between the guide's pages open in the window;
// web and mail addresses go to the user's browser. The window is not modal.
// The pages follow the desktop's palette: on a dark one they are shown light
// on dark (guide-dark.css after guide.css).

#include "framework/StringTypes.h"

#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QToolButton;

class CHelpWindow : public QWidget
{
    Q_OBJECT

public:
    // A top-level window; a parent only ties its lifetime and modality to
    // the parent's (a child of a modal window takes input beside it).
    explicit CHelpWindow(QWidget* pParent = nullptr);
    ~CHelpWindow() override;

    // Shows the page at strPagePath (a local HTML file) and remembers it as
    // the contents page.
    void OpenContents(const CString& strPagePath);

    QTextBrowser* Browser() const { return m_pBrowser; }
    // The page shown, as a local path without its fragment.
    CString CurrentPage() const;

private:
    void OnAnchorClicked(const QUrl& url);
    void OnSourceChanged();

    QTextBrowser* m_pBrowser;
    QToolButton* m_pBack;
    QToolButton* m_pForward;
    QToolButton* m_pContents;
    QUrl m_contents;
};
