#pragma once
// Where Help Topics and F1 look for the user guide.

#include "framework/StringTypes.h"

// The help path of an executable: its path with the extension replaced by
// ".HLP" (appended when it has none), then every ".HLP" made ".chm".
CString HelpPathFor(const CString& strExecutable);

// The help path of this program: that of the executable's path where its
// shared files are (beside it, or in share/korvane/ of an installed tree).
CString ProgramHelpPath();
