#pragma once
// The new file of a writer that makes its file by name (a library that
// opens the path itself), put in place of its target only when complete.
//
// The file is made empty beside the target, with the mode of the file it
// will replace, or the mode a new file there would get. Commit renames it
// over the target; a file that was not committed is removed when the
// object goes, so a failed save leaves the target as it was and nothing
// beside it. A symbolic link as the target is followed to the file it
// names. A device or a pipe cannot be replaced: the file is then made in
// the temporary folder (TMPDIR, or /tmp) and Commit copies it into the
// target.

#include "framework/StringTypes.h"

class CTempFileBeside
{
public:
    explicit CTempFileBeside(CString strTarget) : m_strTarget(std::move(strTarget)) {}
    ~CTempFileBeside() { Discard(); }
    CTempFileBeside(const CTempFileBeside&) = delete;
    CTempFileBeside& operator=(const CTempFileBeside&) = delete;

    // Makes the empty file; false with GetError (naming the target and the
    // reason) when it cannot, or when the target is a folder.
    bool Create();
    // The new file, once made.
    const CString& GetPath() const { return m_strPath; }
    // The target, a symbolic link followed.
    const CString& GetTarget() const { return m_strTarget; }

    // Puts the complete file in place of the target. With bSync the bytes
    // are on the disk before the rename. False with GetError on failure;
    // the target is then untouched and the new file removed.
    bool Commit(bool bSync);
    CString GetError() const { return m_strError; }

    // Removes the new file if it is still there.
    void Discard() noexcept;

private:
    bool Fail(int nErrno);
    bool CopyIntoTarget();

    CString m_strTarget;
    CString m_strPath;
    CString m_strError;
    bool m_bCopy = false; // the target is a device or a pipe
};
