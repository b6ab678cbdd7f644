#include "drivers/JetUsageMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>

namespace {

struct CMarked
{
    uint32_t nCount = 0;
    uint32_t nFirst = UINT32_MAX;
    uint32_t nLast = 0;
    void Add(uint32_t nPage)
    {
        ++nCount;
        nFirst = std::min(nFirst, nPage);
        nLast = std::max(nLast, nPage);
    }
};

// The pages a map marks, read as the format describes it; map pages are
// looked up in pages by their number.
CMarked ReadMap(const std::string& row, const std::map<uint32_t, CJetPage>& pages)
{
    const auto u8 = [&](size_t i) { return static_cast<uint8_t>(row.at(i)); };
    const auto u32 = [&](size_t i) {
        return static_cast<uint32_t>(u8(i) | (u8(i + 1) << 8) | (u8(i + 2) << 16) |
                                     (u8(i + 3) << 24));
    };
    CMarked marked;
    if (u8(0) == jet::kMapInline) {
        for (uint32_t nBit = 0; nBit < (row.size() - jet::kInlineMapBitsAt) * 8; ++nBit) {
            if (u8(jet::kInlineMapBitsAt + nBit / 8) & (1u << (nBit % 8)))
                marked.Add(u32(1) + nBit);
        }
        return marked;
    }
    for (uint32_t nBlock = 0; 1 + nBlock * 4 < row.size(); ++nBlock) {
        const uint32_t nMapPage = u32(1 + nBlock * 4);
        if (nMapPage == 0)
            continue;
        const CJetPage& page = pages.at(nMapPage);
        EXPECT_EQ(page.Get8(0), jet::kPageUsageMap);
        for (uint32_t nBit = 0; nBit < jet::kMapPagePages; ++nBit) {
            if (page.Get8(jet::kMapPageBitsAt + nBit / 8) & (1u << (nBit % 8)))
                marked.Add(nBlock * jet::kMapPagePages + nBit);
        }
    }
    return marked;
}

} // namespace

TEST(JetUsageMap, EveryPageOfTheRunAndNoOtherReadsBack)
{
    const std::pair<uint32_t, uint32_t> runs[] = {
        {10, 0},
        {10, 1},
        {3, jet::kInlineMapPages},       // the longest inline map
        {3, jet::kInlineMapPages + 1},   // the shortest reference map
        {jet::kMapPagePages - 5, 10},    // across a block boundary
        {40000, 3 * jet::kMapPagePages}, // starting past the first block
        {0, jet::kMaxPages},             // a whole 2 GB file
    };
    for (const auto& [nFirst, nCount] : runs) {
        const CJetUsageMap map(nFirst, nCount);
        EXPECT_EQ(map.IsInline(), nCount <= jet::kInlineMapPages);
        constexpr uint32_t kFirstMapPage = 7;
        std::map<uint32_t, CJetPage> pages;
        for (uint32_t i = 0; i < map.GetMapPageCount(); ++i)
            pages[kFirstMapPage + i] = map.MakeMapPage(i);
        const std::string row = map.MakeRow(kFirstMapPage);
        const CMarked marked = ReadMap(row, pages);
        EXPECT_EQ(marked.nCount, nCount) << nFirst << "+" << nCount;
        if (nCount > 0) {
            EXPECT_EQ(marked.nFirst, nFirst);
            EXPECT_EQ(marked.nLast, nFirst + nCount - 1);
        }
        // Every map fits in a row of a data page.
        EXPECT_LE(row.size(), jet::kMaxRowSize);
    }
    EXPECT_EQ(CJetUsageMap(0, jet::kMaxPages).GetMapPageCount(), 17u);
}
