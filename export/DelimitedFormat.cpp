#include "DelimitedFormat.h"

#include "framework/ListCtrl.h"
#include "framework/ListRows.h"
#include "framework/StringUtil.h"

namespace {

bool NeedsCsvQuotes(std::string_view cell)
{
    return cell.find_first_of(",\"\r\n") != std::string_view::npos;
}

void AppendCsvCell(CString& strOut, std::string_view cell)
{
    if (!NeedsCsvQuotes(cell)) {
        strOut.append(cell);
        return;
    }
    strOut.push_back('"');
    for (const char ch : cell) {
        if (ch == '"')
            strOut.push_back('"');
        strOut.push_back(ch);
    }
    strOut.push_back('"');
}

// Stores every LF of the text from nFrom on as CR LF. Rows are checked
// whole, so that the cells, which hardly ever hold an LF, are not searched
// one by one.
void ToTextMode(CString& strText, size_t nFrom)
{
    const std::string_view tail = std::string_view(strText).substr(nFrom);
    if (str::Contains(tail, '\n'))
        strText.replace(nFrom, CString::npos, str::ToTextMode(tail));
}

} // namespace

void CDelimitedFormat::AppendRow(CString& strOut, const std::string_view* pCells, int nCount) const
{
    const size_t nFrom = strOut.size();
    for (int j = 0; j < nCount; ++j) {
        if (j > 0)
            strOut.push_back(m_chSeparator);
        if (m_chSeparator == ',')
            AppendCsvCell(strOut, pCells[j]);
        else
            strOut.append(pCells[j]);
    }
    if (m_bTextMode) {
        if (m_bCheckCells)
            ToTextMode(strOut, nFrom);
        strOut.append("\r\n", 2);
    } else {
        strOut.push_back('\n');
    }
}

void CDelimitedFormat::AppendHeader(CString& strOut, const std::vector<CTableColumn>& columns) const
{
    std::vector<std::string_view> captions;
    for (const CTableColumn& column : columns)
        captions.emplace_back(column.strCaption);
    // Captions may hold line feeds, whatever the rows hold.
    CDelimitedFormat(m_chSeparator, m_bTextMode)
        .AppendRow(strOut, captions.data(), static_cast<int>(captions.size()));
}

void CDelimitedFormat::AppendHeader(CString& strOut, const CListCtrl& list) const
{
    AppendHeader(strOut, ColumnsOf(list));
}

bool CDelimitedSink::BeginRows(const std::vector<CTableColumn>& columns)
{
    m_nColumns = static_cast<int>(columns.size());
    if (!m_bHeader)
        return true;
    CString strHeader;
    m_format.AppendHeader(strHeader, columns);
    return Write(strHeader);
}

void CDelimitedSink::FormatRow(CString& strOut, const std::string_view* pCells,
                               int /*nImage*/) const
{
    m_format.AppendRow(strOut, pCells, m_nColumns);
}
