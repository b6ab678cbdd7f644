#pragma once
// JSON of a table, written as its rows come: one object per row whose
// members are the cells, named by the column captions in column order.
// Values are strings exactly as the cells hold them, whole: RFC 8259
// escapes for the quote, the backslash and the control characters below
// U+0020, every other character as it is in UTF-8, and U+FFFD for bytes
// that are not well-formed UTF-8 (str::Repaired). A caption met before gets a
// suffix (UniqueNames.h), so that no value hides another.
//
// The layouts:
//   Array  "[" LF, the objects separated by "," LF, LF "]" LF; "[]" LF
//          when there are no rows;
//   Lines  (JSON Lines) each object on a line of its own, ended by LF.
// No other white space is written.

#include "TextRowSink.h"
#include "framework/RowSink.h"
#include "framework/StringTypes.h"

#include <string_view>
#include <vector>

class ISink;

enum class EJsonLayout { Array, Lines };

class CJsonRowSink final : public CTextRowSink
{
public:
    // With bBackground the target is written by a second thread while the
    // next rows are formed (for files and pipes).
    CJsonRowSink(ISink& target, EJsonLayout eLayout, bool bBackground = false)
        : CTextRowSink(target, bBackground), m_eLayout(eLayout)
    {}

    bool BeginRows(const std::vector<CTableColumn>& columns) override;
    bool EndRows() override;
    // In the Array layout a row is formatted with the "," LF that leads
    // every row but the first; the sink drops it from the first row.
    void FormatRow(CString& strOut, const std::string_view* pCells, int nImage) const override;

private:
    bool BeforeFirstRow(std::string_view& text) override;

    EJsonLayout m_eLayout;
    std::vector<CString> m_keys; // per column: the name as a string, and ":"
};
