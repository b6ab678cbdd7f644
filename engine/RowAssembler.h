#pragma once
// Forms the rows of a table from captured values in the order they were
// found: a value of the first column starts a row, any other value sets its
// cell in the row started last (a later value replaces an earlier one), and
// a value without a column is not shown. Values that come before the first
// row belong to no row of these values; they are kept apart, for a caller
// that has a row open from values before them.

#include "ValueList.h"

#include <string_view>
#include <utility>
#include <vector>

class CRowAssembler
{
public:
    // columnOf gives the column of each field-name index of the values, or
    // -1; the table has nColumns columns (larger indexes are not shown).
    CRowAssembler(std::vector<int> columnOf, int nColumns);

    // Walks the values; onRow(const std::string_view* pCells) receives each
    // row that a later value closes, nColumns cells that refer to the
    // values' texts. The last row started stays open (GetOpenRow).
    template <class FRow>
    void Add(const CValueList& values, FRow&& onRow)
    {
        for (size_t i = 0; i < values.size(); ++i) {
            const int nCol = ColumnOf(values.NameIndexAt(i));
            if (nCol == 0) {
                if (m_bOpen)
                    onRow(static_cast<const std::string_view*>(m_cells.data()));
                std::fill(m_cells.begin(), m_cells.end(), std::string_view());
                m_cells[0] = values.ValueAt(i);
                m_bOpen = true;
            } else if (nCol > 0) {
                if (m_bOpen)
                    m_cells[static_cast<size_t>(nCol)] = values.ValueAt(i);
                else
                    m_prefix.emplace_back(nCol, values.ValueAt(i));
            }
        }
    }

    int GetColumnCount() const { return m_nColumns; }
    // Whether a row was started; its cells, as the values since have set them.
    bool HasOpenRow() const { return m_bOpen; }
    const std::vector<std::string_view>& GetOpenRow() const { return m_cells; }
    // The values that came before the first row, with their columns.
    const std::vector<std::pair<int, std::string_view>>& GetPrefix() const { return m_prefix; }
    // Forgets the open row and the prefix, for the next values.
    void Reset();

private:
    int ColumnOf(int nName) const
    {
        return nName >= 0 && static_cast<size_t>(nName) < m_columnOf.size()
            ? m_columnOf[static_cast<size_t>(nName)]
            : -1;
    }

    std::vector<int> m_columnOf;
    int m_nColumns;
    bool m_bOpen = false;
    std::vector<std::string_view> m_cells;
    std::vector<std::pair<int, std::string_view>> m_prefix;
};
