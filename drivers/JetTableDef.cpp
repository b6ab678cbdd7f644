#include "JetTableDef.h"

#include "JetText.h"

#include <algorithm>

namespace {

// Each page carries this much of the definition behind its header.
constexpr uint32_t kChunkSize = jet::kPageSize - jet::kTableDefHeaderSize;

} // namespace

CJetTableDef::CJetTableDef(bool bSystem, std::vector<CJetColumn> columns)
    : m_bSystem(bSystem), m_columns(std::move(columns))
{
    for (const CJetColumn& column : m_columns) {
        if (column.bFixed) {
            m_places.push_back(m_nFixedSize);
            m_nFixedSize = static_cast<uint16_t>(m_nFixedSize + column.nLength);
        } else {
            m_places.push_back(m_nVarCount++);
        }
    }
}

CString CJetTableDef::MakeColumnEntry(size_t j) const
{
    const CJetColumn& column = m_columns[j];
    CString entry(jet::kColumnEntrySize, '\0');
    const auto nNumber = static_cast<uint16_t>(j);
    entry[jet::kColTypeAt] = static_cast<char>(column.nType);
    jet::Store32(entry, jet::kColMagicAt, jet::kTdefMagic);
    jet::Store16(entry, jet::kColNumberAt, nNumber);
    jet::Store16(entry, jet::kColRowNumberAt, nNumber);
    if (column.bFixed)
        jet::Store16(entry, jet::kColFixedOffsetAt, m_places[j]);
    else
        jet::Store16(entry, jet::kColVarIndexAt, m_places[j]);
    uint8_t nFlags = jet::kColFlagNullable;
    if (column.bFixed)
        nFlags |= jet::kColFlagFixed;
    entry[jet::kColFlagsAt] = static_cast<char>(nFlags);
    if (column.nType == jet::kTypeText) {
        jet::Store16(entry, jet::kColSortOrderAt, jet::kSortGeneral);
        entry[jet::kColExtraFlagsAt] = static_cast<char>(jet::kColExtraCompressed);
    }
    jet::Store16(entry, jet::kColLengthAt, column.nLength);
    return entry;
}

CString CJetTableDef::MakeDefinition(uint32_t nRows, uint32_t nUsedMap, uint32_t nFreeMap) const
{
    CString def(jet::kTdefColumnsAt, '\0');
    const auto nColumns = static_cast<uint16_t>(m_columns.size());
    jet::Store32(def, jet::kTdefMagicAt, jet::kTdefMagic);
    jet::Store32(def, jet::kTdefRowCountAt, nRows);
    def[jet::kTdefAutoNumberFlagAt] = static_cast<char>(jet::kAutoNumberFlag);
    def[jet::kTdefTableTypeAt] = static_cast<char>(m_bSystem ? jet::kTableSystem : jet::kTableUser);
    jet::Store16(def, jet::kTdefMaxColumnsAt, nColumns);
    jet::Store16(def, jet::kTdefVarColumnsAt, m_nVarCount);
    jet::Store16(def, jet::kTdefColumnCountAt, nColumns);
    jet::Store32(def, jet::kTdefIndexCountAt, 0);
    jet::Store32(def, jet::kTdefRealIndexCountAt, 0);
    jet::Store32(def, jet::kTdefUsedPagesAt, nUsedMap);
    jet::Store32(def, jet::kTdefFreePagesAt, nFreeMap);
    for (size_t j = 0; j < m_columns.size(); ++j)
        def += MakeColumnEntry(j);
    for (const CJetColumn& column : m_columns) {
        const CString strName = jet::PlainText(jet::Utf16FromUtf8(column.strName));
        jet::Append16(def, static_cast<uint16_t>(strName.size()));
        def += strName;
    }
    // No indexes, and no long-value columns whose maps would follow.
    jet::Append16(def, jet::kTdefEndOfList);
    jet::Store32(def, jet::kTdefLengthAt, static_cast<uint32_t>(def.size()));
    return def;
}

uint32_t CJetTableDef::GetPageCount() const
{
    const size_t nBody = MakeDefinition(0, 0, 0).size() - jet::kTableDefHeaderSize;
    return static_cast<uint32_t>((nBody + kChunkSize - 1) / kChunkSize);
}

std::vector<CJetPage> CJetTableDef::MakePages(uint32_t nFirstPage, uint32_t nRows,
                                              uint32_t nUsedMap, uint32_t nFreeMap) const
{
    const CString def = MakeDefinition(nRows, nUsedMap, nFreeMap);
    const std::string_view body = std::string_view(def).substr(jet::kTableDefHeaderSize);
    std::vector<CJetPage> pages;
    for (size_t nAt = 0; nAt < body.size(); nAt += kChunkSize) {
        const std::string_view chunk = body.substr(nAt, kChunkSize);
        CJetPage& page = pages.emplace_back(jet::kPageTableDef);
        const uint32_t nFree = kChunkSize - static_cast<uint32_t>(chunk.size());
        page.Put16(jet::kTableDefFreeSpaceAt,
                   static_cast<uint16_t>(
                       nFree > jet::kTableDefHeaderSize ? nFree - jet::kTableDefHeaderSize : 0));
        const bool bLast = nAt + kChunkSize >= body.size();
        page.Put32(jet::kTableDefNextPageAt,
                   bLast ? 0 : nFirstPage + static_cast<uint32_t>(pages.size()));
        page.PutBytes(jet::kTableDefHeaderSize, chunk);
    }
    return pages;
}
