#include "JetUsageMap.h"

#include <algorithm>

namespace {

void SetBit(uint8_t* pBits, uint32_t nBit)
{
    pBits[nBit / 8] = static_cast<uint8_t>(pBits[nBit / 8] | (1u << (nBit % 8)));
}

} // namespace

CJetUsageMap::CJetUsageMap(uint32_t nFirst, uint32_t nCount) : m_nFirst(nFirst), m_nCount(nCount) {}

uint32_t CJetUsageMap::GetMapPageCount() const
{
    return IsInline() ? 0 : LastBlock() - FirstBlock() + 1;
}

CString CJetUsageMap::MakeRow(uint32_t nFirstMapPage) const
{
    CString row;
    if (IsInline()) {
        row.assign(jet::kInlineMapSize, '\0');
        row[0] = static_cast<char>(jet::kMapInline);
        jet::Store32(row, 1, m_nFirst);
        auto* pBits = reinterpret_cast<uint8_t*>(row.data() + jet::kInlineMapBitsAt);
        for (uint32_t i = 0; i < m_nCount; ++i)
            SetBit(pBits, i);
        return row;
    }
    // A block before the first one carries no page of the map: its entry is 0.
    row.push_back(static_cast<char>(jet::kMapReference));
    for (uint32_t nBlock = 0; nBlock <= LastBlock(); ++nBlock)
        jet::Append32(row, nBlock < FirstBlock() ? 0 : nFirstMapPage + nBlock - FirstBlock());
    return row;
}

CJetPage CJetUsageMap::MakeMapPage(uint32_t i) const
{
    CJetPage page(jet::kPageUsageMap);
    const uint32_t nBlockStart = (FirstBlock() + i) * jet::kMapPagePages;
    const uint32_t nFrom = std::max(m_nFirst, nBlockStart);
    const uint32_t nTo = std::min(m_nFirst + m_nCount, nBlockStart + jet::kMapPagePages);
    for (uint32_t nPage = nFrom; nPage < nTo; ++nPage)
        SetBit(page.Data() + jet::kMapPageBitsAt, nPage - nBlockStart);
    return page;
}
