#pragma once
// A usage map: which pages belong to a table (or, for the database's own
// map, which pages are in use), one bit per page. The map is a row of a
// data page. A run of up to 472 pages fits in the row itself (an inline
// map: its first page and the bits); a longer run needs a reference map,
// whose row lists pages of their own that carry the bits, each page for a
// fixed block of 32736 pages counted from page 0.

#include "JetPage.h"
#include "framework/StringTypes.h"

#include <cstdint>

class CJetUsageMap
{
public:
    // The nCount pages from nFirst on are marked; nCount may be 0.
    CJetUsageMap(uint32_t nFirst, uint32_t nCount);
    virtual ~CJetUsageMap() = default;

    bool IsInline() const { return m_nCount <= jet::kInlineMapPages; }
    // The map pages a reference map needs; 0 for an inline map.
    uint32_t GetMapPageCount() const;
    // The row of the map, its map pages being the pages from nFirstMapPage on.
    CString MakeRow(uint32_t nFirstMapPage) const;
    // Map page i, 0 <= i < GetMapPageCount().
    CJetPage MakeMapPage(uint32_t i) const;

private:
    uint32_t FirstBlock() const { return m_nFirst / jet::kMapPagePages; }
    uint32_t LastBlock() const { return (m_nFirst + m_nCount - 1) / jet::kMapPagePages; }

    uint32_t m_nFirst;
    uint32_t m_nCount;
};
