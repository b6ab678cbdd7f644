#pragma once
// Rows on their way from where they are to what takes them.
//
// A table reaches every writer the same way: first its columns, then its
// rows in order, each with one whole text per column, then the end. The
// rows come from the result list as shown, or straight from a parse that
// streams them; they go into the list, or into a file format. A format is
// written once, as a row sink, and serves both.

#include "StringTypes.h"

#include <cstddef>
#include <string_view>
#include <vector>

// A column as a row source gives it: the caption whole, and the width in
// pixels that the list shows it at.
struct CTableColumn
{
    CString strCaption;
    int nWidth = 0;
};

// The reads of a list into a text buffer of 256 bytes, which some formats
// keep: at most 255 bytes of a caption or a cell.
inline constexpr size_t kBoundedReadBytes = 255;
inline std::string_view BoundedRead(std::string_view text)
{
    return text.substr(0, kBoundedReadBytes);
}

// Turns one row into bytes on its own, independent of the rows around it,
// so that the rows of a streamed parse can be formatted on the threads that
// parse them.
class IRowFormatter
{
public:
    virtual ~IRowFormatter() = default;
    // Appends the bytes of a row of as many cells as the table has columns;
    // called from several threads at once.
    virtual void FormatRow(CString& strOut, const std::string_view* pCells, int nImage) const = 0;
};

// Takes the rows of one table. The calls come in order from one thread:
// BeginRows, any number of AddRow (or AddFormattedRows), EndRows. A sink
// that is destroyed without a successful EndRows leaves nothing behind: a
// file it was writing is removed, or put back as it was.
class IRowSink
{
public:
    virtual ~IRowSink() = default;

    // The columns, before any row. False when the output cannot be begun.
    virtual bool BeginRows(const std::vector<CTableColumn>& columns) = 0;
    // One row: a whole text per column and the row's image index (-1 for
    // none). False when it cannot be taken; the rows end there.
    virtual bool AddRow(const std::string_view* pCells, int nImage) = 0;
    // Completes the output. False when it cannot be completed.
    virtual bool EndRows() = 0;
    // Why a call returned false, naming the file; may be empty when the
    // failure was reported another way.
    virtual CString GetError() const { return {}; }

    // The formatter of a sink whose rows become bytes each on its own, once
    // BeginRows has succeeded; null for a sink that takes rows one by one.
    virtual const IRowFormatter* GetFormatter() const { return nullptr; }
    // The bytes of consecutive rows as the formatter made them.
    virtual bool AddFormattedRows(std::string_view text) { return text.empty(); }
};
