#include "JetDataPage.h"

#include <stdexcept>

namespace jet {

CString MakeRow(const CJetTableDef& table, const std::vector<CString>& values,
                const std::vector<bool>& nulls)
{
    const std::vector<CJetColumn>& columns = table.GetColumns();
    if (values.size() != columns.size())
        throw std::invalid_argument("jet::MakeRow: one value per column");
    const auto nColumns = static_cast<uint16_t>(columns.size());
    CString row;
    Append16(row, nColumns);
    row.append(table.GetFixedSize(), '\0');
    constexpr size_t kFixedAt = 2; // behind the column count
    std::vector<uint16_t> varOffsets(table.GetVarCount());
    const auto isNull = [&](size_t j) { return j < nulls.size() && nulls[j]; };
    for (size_t j = 0; j < columns.size(); ++j) {
        if (isNull(j)) {
            if (!columns[j].bFixed)
                varOffsets[table.GetPlace(j)] = static_cast<uint16_t>(row.size());
            continue;
        }
        if (columns[j].bFixed) {
            if (values[j].size() != columns[j].nLength)
                throw std::invalid_argument("jet::MakeRow: a fixed value of another length");
            row.replace(kFixedAt + table.GetPlace(j), values[j].size(), values[j]);
            continue;
        }
        varOffsets[table.GetPlace(j)] = static_cast<uint16_t>(row.size());
        row += values[j];
    }
    Append16(row, static_cast<uint16_t>(row.size())); // where the values end
    for (size_t i = varOffsets.size(); i-- > 0;)
        Append16(row, varOffsets[i]);
    Append16(row, table.GetVarCount());
    // One bit per column, set for a value that is not null.
    CString mask((nColumns + 7) / 8, '\0');
    for (size_t j = 0; j < columns.size(); ++j) {
        if (!isNull(j))
            mask[j / 8] = static_cast<char>(mask[j / 8] | (1 << (j % 8)));
    }
    return row + mask;
}

} // namespace jet

CJetDataPage::CJetDataPage(uint32_t nTableDefPage) : m_nTableDefPage(nTableDefPage) { Clear(); }

void CJetDataPage::Clear()
{
    m_page = CJetPage(jet::kPageData);
    m_page.Put32(jet::kDataTableDefAt, m_nTableDefPage);
    m_nRows = 0;
    m_nRowsStart = jet::kPageSize;
    m_page.Put16(jet::kDataFreeSpaceAt,
                 static_cast<uint16_t>(jet::kPageSize - jet::kDataRowOffsetsAt));
}

bool CJetDataPage::Add(std::string_view row)
{
    const uint32_t nOffsetsEnd = jet::kDataRowOffsetsAt + m_nRows * jet::kRowOffsetSize;
    const uint32_t nFree = m_nRowsStart - nOffsetsEnd;
    if (m_nRows >= jet::kMaxRowsPerPage || row.size() + jet::kRowOffsetSize > nFree)
        return false;
    m_nRowsStart -= static_cast<uint32_t>(row.size());
    m_page.PutBytes(m_nRowsStart, row);
    m_page.Put16(nOffsetsEnd, static_cast<uint16_t>(m_nRowsStart));
    ++m_nRows;
    m_page.Put16(jet::kDataRowCountAt, static_cast<uint16_t>(m_nRows));
    m_page.Put16(jet::kDataFreeSpaceAt,
                 static_cast<uint16_t>(nFree - row.size() - jet::kRowOffsetSize));
    return true;
}
