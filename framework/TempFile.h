#pragma once
// The two steps of replacing a file only by a complete new one: a private
// temporary file beside the target, and the target's real path.

#include "StringTypes.h"

// The path a symbolic link names, followed through every link in a row,
// also when the last one names a file that does not exist yet (so that a
// save writes through a dangling link, as a shell's redirection does). A
// path that is not a link comes back as it is.
CString ResolveLinks(const CString& strPath);

// Temporary files that an interrupted run must not leave behind. A file
// registered here is removed when SIGINT, SIGTERM or SIGHUP ends the
// program (once InstallSignalCleanup has run), until it is let go of.
void RemoveOnSignal(const CString& strPath);
void LetGoOnSignal(const CString& strPath);
// Installs the handlers: they remove the registered files and end the
// program as the signal would have (status 128 + the signal's number).
void InstallSignalCleanup();

// A new temporary file in TMPDIR (or /tmp) that is gone from its folder as
// soon as it is made, so that nothing is left behind whatever ends the
// program; strPath names it through its descriptor, for opening it again.
// Returns the descriptor, open for reading and writing, or -1 with errno.
int CreateAnonymousFile(CString& strPath);

// Creates a new file ".NAME.XXXXXX" in the target's folder, open for
// writing, with the mode of the target when it exists and of a new file
// otherwise. Returns its descriptor and sets strTempPath (registered with
// RemoveOnSignal); -1 on failure, with errno set.
int CreateTempBeside(const CString& strTarget, CString& strTempPath);
