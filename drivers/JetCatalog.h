#pragma once
// The system catalog MSysObjects: one row per object of the database, which
// names each table and points at the first page of its definition. A new
// database holds the containers of databases, tables and relationships,
// the catalog itself and the user's table when there is one.

#include "JetDataPage.h"
#include "JetTableDef.h"
#include "framework/StringTypes.h"

#include <cstdint>
#include <vector>

class CJetCatalog
{
public:
    // dCreated is the date of creation as the format stores dates.
    explicit CJetCatalog(double dCreated);
    virtual ~CJetCatalog() = default;

    // Adds the user table strName whose definition starts at nTableDefPage.
    void AddTable(const CString& strName, uint32_t nTableDefPage);

    // The definition of MSysObjects.
    static const CJetTableDef& GetTableDef();
    // The data page with every row, for the catalog's definition at
    // jet::kCatalogTableDefPage.
    CJetDataPage MakePage() const;
    uint32_t GetRowCount() const { return static_cast<uint32_t>(m_rows.size()); }

private:
    void AddObject(const CString& strName, uint32_t nId, uint32_t nParentId, uint16_t nType,
                   uint32_t nFlags);

    CString m_strCreated; // the date as the 8 bytes of a column value
    std::vector<CString> m_rows;
};
