#include "drivers/JetDataPage.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

uint16_t Get16(const std::string& s, size_t i)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(s.at(i)) |
                                 (static_cast<uint8_t>(s.at(i + 1)) << 8));
}

// A row taken apart as the format describes it: the null mask at the end,
// the count of variable values before it, then their offsets backwards,
// the last one where the values end.
std::vector<std::optional<std::string>> ReadRow(const CJetTableDef& table, const std::string& row)
{
    const size_t nColumns = Get16(row, 0);
    const size_t nMask = (nColumns + 7) / 8;
    const size_t nMaskAt = row.size() - nMask;
    const size_t nVars = Get16(row, nMaskAt - 2);
    const auto varOffset = [&](size_t i) { return Get16(row, nMaskAt - 4 - 2 * i); };
    std::vector<std::optional<std::string>> values;
    for (size_t j = 0; j < nColumns; ++j) {
        if (!(static_cast<uint8_t>(row[nMaskAt + j / 8]) & (1u << (j % 8)))) {
            values.emplace_back();
            continue;
        }
        const CJetColumn& column = table.GetColumns()[j];
        const size_t nPlace = table.GetPlace(j);
        if (column.bFixed) {
            values.emplace_back(row.substr(2 + nPlace, column.nLength));
        } else {
            EXPECT_LT(nPlace, nVars);
            values.emplace_back(
                row.substr(varOffset(nPlace), varOffset(nPlace + 1) - varOffset(nPlace)));
        }
    }
    return values;
}

// The rows of a data page, by its table of offsets.
std::vector<std::string> ReadPage(const CJetPage& page)
{
    std::vector<std::string> rows;
    uint32_t nEnd = jet::kPageSize;
    for (uint32_t i = 0; i < page.Get16(jet::kDataRowCountAt); ++i) {
        const uint32_t nStart = page.Get16(jet::kDataRowOffsetsAt + 2 * i);
        rows.emplace_back(reinterpret_cast<const char*>(page.Data()) + nStart, nEnd - nStart);
        nEnd = nStart;
    }
    return rows;
}

} // namespace

TEST(JetDataPage, RowsReadBackWithFixedVariableAndNullValues)
{
    const CJetTableDef table(false,
                             {{"a", jet::kTypeText, jet::kTextBytes, false},
                              {"n", jet::kTypeLong, 4, true},
                              {"b", jet::kTypeText, jet::kTextBytes, false},
                              {"c", jet::kTypeText, jet::kTextBytes, false},
                              {"i", jet::kTypeInt, 2, true}});
    const std::vector<std::string> values = {"first", "\x01\x02\x03\x04", "", "third", "\x05\x06"};
    const auto cracked = ReadRow(table, jet::MakeRow(table, values));
    ASSERT_EQ(cracked.size(), values.size());
    for (size_t j = 0; j < values.size(); ++j)
        EXPECT_EQ(cracked[j], values[j]) << j;

    const auto withNulls =
        ReadRow(table, jet::MakeRow(table, values, {false, true, false, true, false}));
    EXPECT_EQ(withNulls[0], "first");
    EXPECT_FALSE(withNulls[1].has_value());
    EXPECT_FALSE(withNulls[3].has_value());
    EXPECT_EQ(withNulls[4], "\x05\x06");
}

TEST(JetDataPage, APageTakesRowsUntilItsSpaceOrItsRowNumbersRunOut)
{
    CJetDataPage page(42);
    const std::string big(1000, 'x');
    int nAdded = 0;
    while (page.Add(big + std::to_string(nAdded)))
        ++nAdded;
    EXPECT_EQ(nAdded, 4);
    const std::vector<std::string> rows = ReadPage(page.GetPage());
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[3], big + "3");
    EXPECT_EQ(page.GetPage().Get8(0), jet::kPageData);
    EXPECT_EQ(page.GetPage().Get16(jet::kDataTableDefAt), 42);
    EXPECT_EQ(page.GetPage().Get16(jet::kDataFreeSpaceAt),
              jet::kPageSize - jet::kDataRowOffsetsAt - 4 * (1001 + 2));

    // Small rows stop at 255, the most a one-byte row number can address.
    page.Clear();
    while (page.Add("tiny"))
        ;
    EXPECT_EQ(page.GetRowCount(), jet::kMaxRowsPerPage);
    EXPECT_EQ(ReadPage(page.GetPage()).back(), "tiny");
}
