#pragma once
// The help viewer of the window program. There is no viewer for compiled
// help files on this platform, so the program shows its own user guide: HTML
// pages installed beside the executable in a folder named after the help
// path, its extension replaced by "-help" (korvane.chm: korvane-help/), whose
// default topic is index.html. One help window serves the whole run; asking
// again shows the default topic in it and brings it to the front.

#include "framework/Platform.h"

#include <QPointer>

class CHelpWindow;
class QWidget;

class CHelpViewer : public IHelpViewer
{
public:
    CHelpViewer() = default;
    ~CHelpViewer() override;
    CHelpViewer(const CHelpViewer&) = delete;
    CHelpViewer& operator=(const CHelpViewer&) = delete;

    // The default topic of the guide for a help path.
    static CString GuidePathFor(const CString& strHelpPath);

    // Opens the help window on the guide's default topic; when the guide is
    // not installed, says so in a message naming the path looked for and
    // returns false. Returns at once: the window stays open beside the
    // program's other windows.
    bool ShowHelp(const CString& strHelpPath) override;

    // The help window, or nullptr before the first ShowHelp.
    CHelpWindow* Window() const;

private:
    QPointer<CHelpWindow> m_pWindow;
};
