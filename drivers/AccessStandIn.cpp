#include "AccessStandIn.h"

#include "JetCatalog.h"
#include "JetHeaderPage.h"
#include "JetText.h"
#include "JetUsageMap.h"
#include "framework/Database.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace {

constexpr char kDriverName[] = "Microsoft Access Driver (*.mdb)";

// The pages before the user table's definition.
constexpr uint32_t kHeaderPage = 0;
constexpr uint32_t kMapsPage = 1;
constexpr uint32_t kCatalogDataPage = 3;
constexpr uint32_t kTableDefPage = 4;
// The rows of the maps page.
constexpr uint32_t kRowGlobalMap = 0;
constexpr uint32_t kRowCatalogUsed = 1;
constexpr uint32_t kRowCatalogFree = 2;
constexpr uint32_t kRowTableUsed = 3;
constexpr uint32_t kRowTableFree = 4;

CString SizeText(uint64_t nBytes)
{
    constexpr uint64_t kKilo = 1024;
    if (nBytes % (kKilo * kKilo * kKilo) == 0)
        return std::to_string(nBytes / (kKilo * kKilo * kKilo)) + " GB";
    if (nBytes % (kKilo * kKilo) == 0)
        return std::to_string(nBytes / (kKilo * kKilo)) + " MB";
    return std::to_string(nBytes / kKilo) + " KB";
}

CString Folded(const CString& str)
{
    CString strFolded = str;
    std::transform(strFolded.begin(), strFolded.end(), strFolded.begin(), [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    });
    return strFolded;
}

} // namespace

std::unique_ptr<CStandInDriver> MakeAccessStandIn() { return std::make_unique<CAccessStandIn>(); }

CAccessStandIn::CAccessStandIn(uint32_t nMaxPages)
    : CStandInDriver(kDriverName), m_nMaxPages(nMaxPages), m_page(kTableDefPage)
{}

void CAccessStandIn::Refuse(const CString& strReason) const
{
    throw CDatabaseException("[" + GetName() + "] " + strReason, "HY000");
}

bool CAccessStandIn::CreateEmptyFile(const CString& strPath)
{
    m_tCreated = std::time(nullptr);
    try {
        WriteDatabase(strPath, false);
    } catch (const CDatabaseException&) {
        return false;
    }
    return true;
}

void CAccessStandIn::CheckColumns(const CString& strTable,
                                  const std::vector<CString>& columns) const
{
    if (strTable.empty())
        Refuse("The table has no name.");
    if (columns.size() > jet::kMaxColumns)
        Refuse("The table [" + strTable + "] cannot have " + std::to_string(columns.size()) +
               " columns: an Access table has at most " + std::to_string(jet::kMaxColumns) + ".");
    std::set<CString> names;
    for (const CString& strName : columns) {
        if (strName.empty())
            Refuse("A column of the table [" + strTable + "] has no name.");
        if (!names.insert(Folded(strName)).second)
            Refuse("The column [" + strName + "] appears more than once in the table [" + strTable +
                   "].");
    }
}

void CAccessStandIn::BeginTable(const CString& strTable, const std::vector<CString>& columns)
{
    CheckColumns(strTable, columns);
    std::vector<CJetColumn> defs;
    for (const CString& strName : columns)
        defs.push_back({strName, jet::kTypeText, jet::kTextBytes, false});
    m_strTable = strTable;
    m_table = CJetTableDef(false, std::move(defs));
    m_page.Clear();
    m_pScratch.reset();
    m_nDataPages = 0;
    m_nRows = 0;
    if (m_tCreated == 0)
        m_tCreated = std::time(nullptr);
    if (MakeLayout(0).nTotal > m_nMaxPages)
        Refuse("The definition of the table [" + strTable + "] does not fit in an Access file.");
}

CString CAccessStandIn::MakeTableRow(const std::vector<CString>& values) const
{
    const CString strRow = std::to_string(m_nRows + 1);
    std::vector<CString> stored;
    stored.reserve(values.size());
    for (size_t j = 0; j < values.size(); ++j) {
        const std::u16string units = jet::Utf16FromUtf8(values[j]);
        if (units.size() > jet::kTextChars)
            Refuse("Row " + strRow + ": the value of [" + m_table.GetColumns()[j].strName +
                   "] is longer than the " + std::to_string(jet::kTextChars) +
                   " characters of a Text column.");
        stored.push_back(jet::StoredText(units));
    }
    CString row = jet::MakeRow(m_table, stored);
    if (row.size() > jet::kMaxRowSize)
        Refuse("Row " + strRow + " takes " + std::to_string(row.size()) +
               " bytes; a row of an Access table takes at most " +
               std::to_string(jet::kMaxRowSize) + ".");
    return row;
}

void CAccessStandIn::AddRow(const std::vector<CString>& values)
{
    const CString row = MakeTableRow(values);
    if (m_page.GetRowCount() > 0 && !m_page.Add(row))
        FlushPage();
    if (m_page.GetRowCount() == 0) {
        const CLayout layout = MakeLayout(m_nDataPages + 1);
        if (layout.nTotal > m_nMaxPages)
            Refuse("Row " + std::to_string(m_nRows + 1) +
                   " does not fit: the database would grow past " +
                   SizeText(uint64_t{m_nMaxPages} * jet::kPageSize) +
                   ", the most an Access file can hold.");
        m_page.Add(row);
    }
    ++m_nRows;
}

void CAccessStandIn::FlushPage()
{
    if (m_pScratch == nullptr) {
        m_pScratch = std::make_unique<CJetPageFile>(GetName());
        m_pScratch->CreateScratch();
    }
    m_pScratch->WritePage(m_nDataPages++, m_page.GetPage());
    m_page.Clear();
}

CAccessStandIn::CLayout CAccessStandIn::MakeLayout(uint32_t nDataPages) const
{
    CLayout layout;
    layout.nFirstData = kTableDefPage + m_table.GetPageCount();
    layout.nDataPages = nDataPages;
    layout.nTableMapPages = CJetUsageMap(layout.nFirstData, nDataPages).GetMapPageCount();
    const uint32_t nBase = layout.nFirstData + nDataPages + layout.nTableMapPages;
    // The database's map covers its own map pages too.
    for (;;) {
        const uint32_t nNeeded = CJetUsageMap(0, nBase + layout.nGlobalMapPages).GetMapPageCount();
        if (nNeeded == layout.nGlobalMapPages)
            break;
        layout.nGlobalMapPages = nNeeded;
    }
    layout.nTotal = nBase + layout.nGlobalMapPages;
    return layout;
}

void CAccessStandIn::Finish(const CString& strPath)
{
    if (m_page.GetRowCount() > 0)
        FlushPage();
    WriteDatabase(strPath, true);
    m_pScratch.reset();
}

void CAccessStandIn::WriteDatabase(const CString& strPath, bool bWithTable)
{
    CLayout layout = MakeLayout(m_nDataPages);
    if (!bWithTable)
        layout = {kTableDefPage, 0, 0, 0, kTableDefPage};
    CJetPageFile file(GetName());
    file.Create(strPath);
    try {
        WriteFrontPages(file, layout, bWithTable);
        if (bWithTable && layout.nDataPages > 0)
            file.CopyPages(*m_pScratch, 0, layout.nDataPages, layout.nFirstData);
        uint32_t nPage = layout.nFirstData + layout.nDataPages;
        const CJetUsageMap tableMap(layout.nFirstData, layout.nDataPages);
        for (uint32_t i = 0; bWithTable && i < layout.nTableMapPages; ++i)
            file.WritePage(nPage++, tableMap.MakeMapPage(i));
        const CJetUsageMap globalMap(0, layout.nTotal);
        for (uint32_t i = 0; i < layout.nGlobalMapPages; ++i)
            file.WritePage(nPage++, globalMap.MakeMapPage(i));
        file.Close();
    } catch (const CDatabaseException&) {
        file.Discard();
        throw;
    }
}

void CAccessStandIn::WriteFrontPages(CJetPageFile& file, const CLayout& layout,
                                     bool bWithTable) const
{
    const uint32_t nTotal = layout.nTotal;
    const uint32_t nTableMaps = layout.nFirstData + layout.nDataPages;
    CJetDataPage maps(0);
    maps.Add(CJetUsageMap(0, nTotal).MakeRow(nTableMaps + layout.nTableMapPages));
    maps.Add(CJetUsageMap(kCatalogDataPage, 1).MakeRow(0));
    maps.Add(CJetUsageMap(kCatalogDataPage, 0).MakeRow(0));
    CJetCatalog catalog(jet::ToJetDate(m_tCreated));
    if (bWithTable) {
        maps.Add(CJetUsageMap(layout.nFirstData, layout.nDataPages).MakeRow(nTableMaps));
        maps.Add(CJetUsageMap(layout.nFirstData, 0).MakeRow(0));
        catalog.AddTable(m_strTable, kTableDefPage);
    }
    file.WritePage(kHeaderPage, jet::MakeHeaderPage(m_tCreated));
    file.WritePage(kMapsPage, maps.GetPage());
    const std::vector<CJetPage> catalogDef = CJetCatalog::GetTableDef().MakePages(
        jet::kCatalogTableDefPage, catalog.GetRowCount(),
        jet::RowPointer(kMapsPage, kRowCatalogUsed), jet::RowPointer(kMapsPage, kRowCatalogFree));
    file.WritePage(jet::kCatalogTableDefPage, catalogDef.at(0));
    file.WritePage(kCatalogDataPage, catalog.MakePage().GetPage());
    if (!bWithTable)
        return;
    const std::vector<CJetPage> tableDef =
        m_table.MakePages(kTableDefPage, m_nRows, jet::RowPointer(kMapsPage, kRowTableUsed),
                          jet::RowPointer(kMapsPage, kRowTableFree));
    for (size_t i = 0; i < tableDef.size(); ++i)
        file.WritePage(kTableDefPage + static_cast<uint32_t>(i), tableDef[i]);
}
