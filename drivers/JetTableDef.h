#pragma once
// The definition of one table in a Jet 4 file: its kind, its columns with
// their types, numbers and places in a row, and the pointers to its usage
// maps, laid on a chain of table definition pages.

#include "JetPage.h"
#include "framework/StringTypes.h"

#include <cstdint>
#include <vector>

struct CJetColumn
{
    CString strName; // UTF-8
    uint8_t nType = 0;
    uint16_t nLength = 0; // bytes; for text twice the characters
    bool bFixed = false;
};

class CJetTableDef
{
public:
    CJetTableDef() = default;
    CJetTableDef(bool bSystem, std::vector<CJetColumn> columns);
    virtual ~CJetTableDef() = default;

    const std::vector<CJetColumn>& GetColumns() const { return m_columns; }
    // Where column j is kept in a row: the offset of a fixed column inside
    // the fixed part, the index of a variable column among the variable ones.
    uint16_t GetPlace(size_t j) const { return m_places[j]; }
    // The size of the fixed part of a row, and the count of variable columns.
    uint16_t GetFixedSize() const { return m_nFixedSize; }
    uint16_t GetVarCount() const { return m_nVarCount; }

    // The pages of the definition, the first being page nFirstPage and the
    // others following it, for a table of nRows rows whose usage map and
    // free-space map are the rows nUsedMap and nFreeMap (page and row
    // number, jet::RowPointer).
    std::vector<CJetPage> MakePages(uint32_t nFirstPage, uint32_t nRows, uint32_t nUsedMap,
                                    uint32_t nFreeMap) const;
    // The number of pages MakePages gives.
    uint32_t GetPageCount() const;

private:
    // The definition as it runs across the pages, its first 8 bytes standing
    // for the header of the first page.
    CString MakeDefinition(uint32_t nRows, uint32_t nUsedMap, uint32_t nFreeMap) const;
    CString MakeColumnEntry(size_t j) const;

    bool m_bSystem = false;
    std::vector<CJetColumn> m_columns;
    std::vector<uint16_t> m_places;
    uint16_t m_nFixedSize = 0;
    uint16_t m_nVarCount = 0;
};
