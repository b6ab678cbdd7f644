#pragma once
// Rows and the data pages that hold them. A Jet 4 row is the number of its
// columns, the fixed-length values, the variable-length values, then from
// the end backwards: the null mask, the count of variable values, the
// offset of each variable value and the offset where they end. A data page
// has a header, the offsets of its rows after it, and the rows from the end
// of the page towards the offsets.

#include "JetPage.h"
#include "JetTableDef.h"

#include <string_view>
#include <vector>

namespace jet {

// The row of table with one stored value per column: the bytes of a fixed
// column (exactly its length), the stored text of a variable one. Column j
// is null when nulls[j] is set (nulls may be empty); its value is then
// ignored.
CString MakeRow(const CJetTableDef& table, const std::vector<CString>& values,
                const std::vector<bool>& nulls = {});

} // namespace jet

class CJetDataPage
{
public:
    // A page of rows of the table whose definition starts at nTableDefPage.
    explicit CJetDataPage(uint32_t nTableDefPage);
    virtual ~CJetDataPage() = default;

    // Adds the row behind the others; false when it does not fit.
    bool Add(std::string_view row);
    uint32_t GetRowCount() const { return m_nRows; }
    const CJetPage& GetPage() const { return m_page; }
    // Empties the page for the next rows.
    void Clear();

private:
    uint32_t m_nTableDefPage;
    CJetPage m_page;
    uint32_t m_nRows = 0;
    uint32_t m_nRowsStart = jet::kPageSize; // where the lowest row begins
};
