#pragma once
// What one parse run produced: the field names of the template, which become
// the list's columns, and the captured values in the order they were found,
// which become its rows when they are written into the list.

#include "FieldValue.h"
#include "LineArray.h"
#include "ParseReport.h"
#include "ValueList.h"
#include "framework/RowSink.h"

#include <vector>

class CListCtrl;

class CParseResult
{
public:
    // The width of a field's column in pixels.
    static constexpr int kColumnWidth = 120;

    CParseResult() = default;
    virtual ~CParseResult() = default;
    CParseResult(const CParseResult&) = delete;
    CParseResult& operator=(const CParseResult&) = delete;

    // Cuts the template at lpszLineBreak, collects the placeholders of every
    // piece and keeps the first occurrence of each; returns the count.
    int CollectFieldNames(const CString& strTemplate, const CString& lpszLineBreak,
                          const CString& strStartTag, const CString& strEndTag);

    void AddValue(const CFieldValue& value) { m_listValues.push_back(value); }

    // Index of the field name that equals the value's name byte for byte; -1
    // when there is none.
    int FindColumn(const CFieldValue& value) const;
    // FindColumn for each name of the value list's name table, by its index.
    std::vector<int> ColumnsOfNames() const;

    // The caption of a field name: the custom set with its markers and then
    // every start and end tag removed.
    static CString GetColumnTitle(const CString& strName, const CString& strStartTag,
                                  const CString& strEndTag);

    // Writes the table into the list. With bRebuildColumns the rows and
    // columns go first and one 120-pixel column per field name is inserted.
    // A value of the first field appends a row; any other value sets its
    // cell in the row appended last (nothing before the first row).
    void FillList(CListCtrl& list, bool bRebuildColumns, const CString& strStartTag,
                  const CString& strEndTag) const;

    // A report of a walk by the template lines given (trimmed), whose
    // values use the name table of m_listValues.
    CReportBuilder StartReport(const std::vector<CString>& templateLines,
                               const CString& strStartTag, const CString& strEndTag) const;

    // The columns FillList inserts when it rebuilds them.
    std::vector<CTableColumn> GetColumns(const CString& strStartTag,
                                         const CString& strEndTag) const;

    void Clear()
    {
        m_listValues.clear();
        m_arrFieldNames.RemoveAll();
    }

    CValueList m_listValues;
    CLineArray m_arrFieldNames;
};
