#pragma once
// What the sinks that make a file of their own (an .xlsx workbook, an
// SQLite database, a file through a database driver) share: they hold the
// file's handles, so they are not copied, and a failed call leaves the
// reason, naming the file, for GetError.

#include "framework/RowSink.h"
#include "framework/StringTypes.h"

class CFileRowSink : public IRowSink
{
public:
    CFileRowSink() = default;
    CFileRowSink(const CFileRowSink&) = delete;
    CFileRowSink& operator=(const CFileRowSink&) = delete;

    CString GetError() const override { return m_strError; }

protected:
    CString m_strError;
};
