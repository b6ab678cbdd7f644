#include "ParseResult.h"

#include "PlaceholderSyntax.h"
#include "RowAssembler.h"
#include "framework/ListCtrl.h"

#include <string_view>
#include <unordered_map>
#include <vector>

int CParseResult::CollectFieldNames(const CString& strTemplate, const CString& lpszLineBreak,
                                    const CString& strStartTag, const CString& strEndTag)
{
    m_arrFieldNames.RemoveAll();
    CLineArray lines;
    lines.Split(strTemplate, lpszLineBreak);
    lines.CollectPlaceholders(m_arrFieldNames, strStartTag, strEndTag, "\r\n");
    m_arrFieldNames.RemoveDuplicates();
    return m_arrFieldNames.GetSize();
}

int CParseResult::FindColumn(const CFieldValue& value) const
{
    for (int i = 0; i < m_arrFieldNames.GetSize(); ++i) {
        if (m_arrFieldNames[i] == value.m_strName)
            return i;
    }
    return -1;
}

CString CParseResult::GetColumnTitle(const CString& strName, const CString& strStartTag,
                                     const CString& strEndTag)
{
    return placeholder::ColumnTitle(strName, strStartTag, strEndTag);
}

void CParseResult::FillList(CListCtrl& list, bool bRebuildColumns, const CString& strStartTag,
                            const CString& strEndTag) const
{
    // A fill may append a million rows; the view hears of it once.
    list.SetRedraw(false);
    if (bRebuildColumns) {
        const int nColumns = list.GetColumnCount();
        list.DeleteAllItems();
        for (int i = 0; i < nColumns; ++i)
            list.DeleteColumn(0);
        const std::vector<CTableColumn> columns = GetColumns(strStartTag, strEndTag);
        for (size_t i = 0; i < columns.size(); ++i) {
            list.InsertColumn(static_cast<int>(i), columns[i].strCaption, LVCFMT_LEFT,
                              columns[i].nWidth, -1);
        }
    }
    // The column of each field name, found once rather than per value.
    const std::vector<int> columnOf = ColumnsOfNames();
    size_t nNewRows = 0;
    for (size_t i = 0; i < m_listValues.size(); ++i)
        nNewRows += columnOf[static_cast<size_t>(m_listValues.NameIndexAt(i))] == 0 ? 1 : 0;
    list.ReserveItems(static_cast<size_t>(list.GetItemCount()) + nNewRows);

    CRowAssembler rows(columnOf, list.GetColumnCount());
    bool bPrefixSet = false;
    // Values before the first row set cells of row 0, which an emptied list
    // does not have; they come before any row is appended.
    const auto setPrefix = [&]() {
        for (const auto& [nCol, value] : rows.GetPrefix())
            list.SetItemText(0, nCol, value);
        bPrefixSet = true;
    };
    const auto append = [&](const std::string_view* pCells) {
        if (!bPrefixSet)
            setPrefix();
        list.AppendItem(pCells, rows.GetColumnCount(), -1);
    };
    rows.Add(m_listValues, append);
    if (rows.HasOpenRow())
        append(rows.GetOpenRow().data());
    else if (!bPrefixSet)
        setPrefix();
    list.SetRedraw(true);
}

std::vector<int> CParseResult::ColumnsOfNames() const
{
    // FindColumn for every name, with the field names indexed once: the
    // first of equal names counts.
    std::unordered_map<std::string_view, int> columnOfName;
    for (int i = m_arrFieldNames.GetSize(); i-- > 0;)
        columnOfName[m_arrFieldNames[i]] = i;
    std::vector<int> columns(static_cast<size_t>(m_listValues.GetNameCount()));
    for (int n = 0; n < m_listValues.GetNameCount(); ++n) {
        const auto it = columnOfName.find(m_listValues.NameOf(n));
        columns[static_cast<size_t>(n)] = it == columnOfName.end() ? -1 : it->second;
    }
    return columns;
}

std::vector<CTableColumn> CParseResult::GetColumns(const CString& strStartTag,
                                                   const CString& strEndTag) const
{
    std::vector<CTableColumn> columns;
    for (int i = 0; i < m_arrFieldNames.GetSize(); ++i)
        columns.push_back(
            CTableColumn{GetColumnTitle(m_arrFieldNames[i], strStartTag, strEndTag), kColumnWidth});
    return columns;
}

CReportBuilder CParseResult::StartReport(const std::vector<CString>& templateLines,
                                         const CString& strStartTag, const CString& strEndTag) const
{
    std::vector<CFieldReport> fields;
    std::vector<int> nameOf;
    for (int i = 0; i < m_arrFieldNames.GetSize(); ++i) {
        CFieldReport field;
        field.strName = m_arrFieldNames[i];
        field.strCaption = GetColumnTitle(field.strName, strStartTag, strEndTag);
        fields.push_back(field);
        nameOf.push_back(m_listValues.FindName(field.strName));
    }
    return CReportBuilder(std::move(fields), templateLines, std::move(nameOf));
}
