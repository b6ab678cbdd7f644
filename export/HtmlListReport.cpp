#include "HtmlListReport.h"

#include "framework/ListCtrl.h"
#include "framework/ListRows.h"

#include <cstdint>
#include <utility>

namespace {

const CHtmlRowStyle kHeaderStyle{0xFFFFFF, 3};
const CHtmlRowStyle kBodyStyle{0x000000, 2};
constexpr COLORREF kHeaderBack = 0x7799CC;

} // namespace

bool CHtmlListReport::Create(const CString& strPath, const CString& strTitle,
                             const std::vector<CTableColumn>& columns)
{
    m_strTitle = strTitle;
    m_nColumns = static_cast<int>(columns.size());
    if (!Open(strPath, strTitle, 0x000000, 0x000000))
        return false;
    if (!IsNewFile())
        return BeginTable(m_nColumns + 1, strTitle, false, 1, 100, alignCenter);
    if (!BeginTable(m_nColumns + 1, strTitle, true, 1, 100, alignCenter))
        return false;
    for (int j = 0; j < m_nColumns; ++j)
        SetCellText(j, BoundedRead(columns[static_cast<size_t>(j)].strCaption));
    SetNextRowColor(kHeaderBack);
    return WriteRow(kHeaderStyle, true);
}

bool CHtmlListReport::Create(const CString& strPath, const CString& strTitle, const CListCtrl& list)
{
    return Create(strPath, strTitle, ColumnsOf(list));
}

bool CHtmlListReport::AddRow(const std::string_view* pCells)
{
    for (int j = 0; j < m_nColumns; ++j)
        SetCellText(j, pCells[j]);
    return WriteRow(kBodyStyle, false);
}

bool CHtmlListReport::AddListRow(const CListCtrl& list, int nItem)
{
    for (int j = 0; j < list.GetColumnCount(); ++j)
        SetCellText(j, list.GetItemTextView(nItem, j));
    return WriteRow(kBodyStyle, false);
}

CHtmlRowSink::CHtmlRowSink(CString strPath, CString strTitle)
    : m_strPath(std::move(strPath)), m_strTitle(std::move(strTitle))
{}

CHtmlRowSink::~CHtmlRowSink()
{
    if (!m_bDone)
        m_report.Abandon();
}

bool CHtmlRowSink::Failed()
{
    // Close puts the file back as it was before this save.
    m_report.Abandon();
    return false;
}

bool CHtmlRowSink::BeginRows(const std::vector<CTableColumn>& columns)
{
    if (!m_report.Create(m_strPath, m_strTitle, columns))
        return false;
    std::int64_t nSum = 0;
    for (const CTableColumn& column : columns)
        nSum += column.nWidth;
    // With no width to share out, the cells simply get no width attribute.
    if (nSum > 0) {
        for (size_t j = 0; j < columns.size(); ++j)
            m_report.SetCellWidth(static_cast<int>(j),
                                  static_cast<int>(columns[j].nWidth * std::int64_t{100} / nSum));
    }
    return true;
}

bool CHtmlRowSink::AddRow(const std::string_view* pCells, int /*nImage*/)
{
    return m_report.AddRow(pCells) || Failed();
}

bool CHtmlRowSink::EndRows()
{
    if (!m_report.Flush() || !m_report.Close())
        return Failed();
    m_bDone = true;
    return true;
}
