#include "JetCatalog.h"

#include "JetText.h"

#include <cstring>
#include <stdexcept>

namespace {

// Object types.
constexpr uint16_t kTypeTable = 1;
constexpr uint16_t kTypeContainer = 3;
// The containers every database has, the parents of the other objects.
constexpr uint32_t kIdDatabases = 0x0F000000;
constexpr uint32_t kIdTables = 0x0F000001;
constexpr uint32_t kIdRelationships = 0x0F000002;
// Flags of objects that belong to the database engine.
constexpr uint32_t kFlagSystemObject = 0x80000000;
constexpr uint32_t kFlagSystemTable = 0x80000002;

constexpr uint16_t kLongSize = 4;
constexpr uint16_t kIntSize = 2;
constexpr uint16_t kDateSize = 8;

CString Long(uint32_t nValue)
{
    CString str;
    jet::Append32(str, nValue);
    return str;
}

CString Int(uint16_t nValue)
{
    CString str;
    jet::Append16(str, nValue);
    return str;
}

} // namespace

CJetCatalog::CJetCatalog(double dCreated)
{
    uint64_t nBits = 0;
    std::memcpy(&nBits, &dCreated, sizeof(nBits));
    m_strCreated = Long(static_cast<uint32_t>(nBits)) + Long(static_cast<uint32_t>(nBits >> 32));
    AddObject("Tables", kIdTables, kIdDatabases, kTypeContainer, kFlagSystemObject);
    AddObject("Databases", kIdDatabases, kIdDatabases, kTypeContainer, kFlagSystemObject);
    AddObject("Relationships", kIdRelationships, kIdDatabases, kTypeContainer, kFlagSystemObject);
    AddObject("MSysObjects", jet::kCatalogTableDefPage, kIdTables, kTypeTable, kFlagSystemTable);
}

const CJetTableDef& CJetCatalog::GetTableDef()
{
    static const CJetTableDef table(true,
                                    {
                                        {"Id", jet::kTypeLong, kLongSize, true},
                                        {"ParentId", jet::kTypeLong, kLongSize, true},
                                        {"Name", jet::kTypeText, jet::kTextBytes, false},
                                        {"Type", jet::kTypeInt, kIntSize, true},
                                        {"DateCreate", jet::kTypeDateTime, kDateSize, true},
                                        {"DateUpdate", jet::kTypeDateTime, kDateSize, true},
                                        {"Flags", jet::kTypeLong, kLongSize, true},
                                        {"LvProp", jet::kTypeLongBinary, 0, false},
                                    });
    return table;
}

void CJetCatalog::AddTable(const CString& strName, uint32_t nTableDefPage)
{
    AddObject(strName, nTableDefPage, kIdTables, kTypeTable, 0);
}

void CJetCatalog::AddObject(const CString& strName, uint32_t nId, uint32_t nParentId,
                            uint16_t nType, uint32_t nFlags)
{
    const CString strStoredName = jet::StoredText(jet::Utf16FromUtf8(strName));
    // No object has properties: LvProp is null.
    m_rows.push_back(jet::MakeRow(GetTableDef(),
                                  {Long(nId), Long(nParentId), strStoredName, Int(nType),
                                   m_strCreated, m_strCreated, Long(nFlags), CString()},
                                  {false, false, false, false, false, false, false, true}));
}

CJetDataPage CJetCatalog::MakePage() const
{
    CJetDataPage page(jet::kCatalogTableDefPage);
    for (const CString& row : m_rows) {
        if (!page.Add(row))
            throw std::length_error("CJetCatalog: the catalog outgrew its page");
    }
    return page;
}
