#pragma once
// The application object: it forms the help path and runs the main window.

#include "framework/StringTypes.h"

class CMainApp
{
public:
    CMainApp();
    virtual ~CMainApp();
    CMainApp(const CMainApp&) = delete;
    CMainApp& operator=(const CMainApp&) = delete;

    // Runs the main window modally; false always, so the program ends when
    // the window has closed.
    bool InitInstance();

    // The executable's path with ".chm" for its extension.
    const CString& GetHelpPath() const { return m_strHelpPath; }

    // The help path of an executable (HelpPathFor of HelpPath.h).
    static CString HelpPathFor(const CString& strExecutable);

private:
    CString m_strHelpPath;
};

// The one application object, or nullptr outside the window program.
CMainApp* AfxGetMainApp();
