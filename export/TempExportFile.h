#pragma once
// The temporary file a driver writes an export into, and the move of the
// finished file to its place.

#include "framework/StringTypes.h"

// The name the platform gives a new temporary file ("MyE" and a unique part,
// reserved by creating it empty with the extension ".tmp"), and the name
// with the export's extension in place of ".tmp" that the driver creates.
// Both are removed when the object goes, unless the finished file was moved
// away.
class CTempExportFile
{
public:
    CTempExportFile() = default;
    ~CTempExportFile() { Remove(); }
    CTempExportFile(const CTempExportFile&) = delete;
    CTempExportFile& operator=(const CTempExportFile&) = delete;

    // Reserves the names in the temporary folder (TMPDIR, or /tmp); false
    // with strError set, naming the folder, when it cannot.
    bool Create(const CString& strExtension, CString& strError);

    const CString& GetPath() const { return m_strPath; }

    // The file at GetPath has gone to its place; only the reserved name is
    // left to remove.
    void Release();

    void Remove() noexcept;

private:
    CString m_strReserved;
    CString m_strPath;
};

// Moves strFrom to strTo, replacing a file there; a symbolic link at strTo
// is followed to the file it names. Across file systems the file is copied,
// and the target is replaced only by a complete copy. False with strError
// set, naming the file and the reason, on failure.
bool MoveReplacing(const CString& strFrom, CString strTo, CString& strError);
