#include "RowAssembler.h"

CRowAssembler::CRowAssembler(std::vector<int> columnOf, int nColumns)
    : m_columnOf(std::move(columnOf)), m_nColumns(nColumns),
      m_cells(static_cast<size_t>(nColumns > 0 ? nColumns : 0))
{
    // A column the table does not have shows nothing.
    for (int& nCol : m_columnOf)
        nCol = nCol < nColumns ? nCol : -1;
}

void CRowAssembler::Reset()
{
    m_bOpen = false;
    m_prefix.clear();
}
