#pragma once
// JSON of a table, written as its rows come: one object per row whose
// members are the cells, named by the column captions in column order.
// Values are strings exactly as the cells hold them, whole: RFC 8259
// escapes for the quote, the backslash and the control characters below
// U+0020, every other character as it is in UTF-8, and U+FFFD for bytes
// that are not well-formed UTF-8 (ValidUtf8.h). A caption met before gets a
// suffix (UniqueNames.h), so that no value hides another.
//
// The layouts:
//   Array  "[" LF, the objects separated by "," LF, LF "]" LF; "[]" LF
//          when there are no rows;
//   Lines  (JSON Lines) each object on a line of its own, ended by LF.
// No other white space is written.

#include "framework/RowSink.h"
#include "framework/StringTypes.h"

#include <memory>
#include <string_view>
#include <vector>

class CBufferedSink;
class ISink;

enum class EJsonLayout { Array, Lines };

class CJsonRowSink final : public IRowSink, public IRowFormatter
{
public:
    // With bBackground the target is written by a second thread while the
    // next rows are formed (for files and pipes).
    CJsonRowSink(ISink& target, EJsonLayout eLayout, bool bBackground = false);
    ~CJsonRowSink() override;

    bool BeginRows(const std::vector<CTableColumn>& columns) override;
    bool AddRow(const std::string_view* pCells, int nImage) override;
    bool EndRows() override;
    CString GetError() const override;
    const IRowFormatter* GetFormatter() const override { return this; }
    bool AddFormattedRows(std::string_view text) override;
    // In the Array layout a row is formatted with the "," LF that leads
    // every row but the first; the sink drops it from the first row.
    void FormatRow(CString& strOut, const std::string_view* pCells, int nImage) const override;

    // Appends the text as a JSON string, between quotes.
    static void AppendString(CString& strOut, std::string_view text);

private:
    bool WriteRows(std::string_view text);

    ISink& m_target;
    EJsonLayout m_eLayout;
    std::unique_ptr<CBufferedSink> m_pOut;
    std::vector<CString> m_keys; // per column: the name as a string, and ":"
    bool m_bHaveRows = false;
    CString m_strRow;
};
