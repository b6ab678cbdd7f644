#pragma once
// The stand-in for the Access ODBC driver: writes an Access 2000 database
// (Jet 4, 4096-byte pages) with the one table the export creates, every
// column Text(255).
//
// The file: page 0 describes the database; page 1 holds the usage maps; the
// catalog MSysObjects has its definition on page 2 and its rows on page 3;
// the user table's definition follows from page 4 on, then its data pages,
// then the map pages that long usage maps need. The data pages go to an
// unnamed scratch file as they fill, so that a table of any length is held
// in memory as one page; Close writes the pages before them and copies them
// behind.
//
// Limits, each refused with a CDatabaseException that says which: at most
// 255 columns with names that are not empty and not the same as another
// (ASCII letters compared without case); a value of at most 255 characters; a row
// of at most 4060 bytes (a data page holds whole rows); a file of at most
// 2 GB. Nothing is cut.

#include "JetDataPage.h"
#include "JetFormat.h"
#include "JetPageFile.h"
#include "JetTableDef.h"
#include "StandInDriver.h"

#include <ctime>
#include <memory>

class CAccessStandIn : public CStandInDriver
{
public:
    // nMaxPages: the largest file, in pages, that the stand-in writes.
    explicit CAccessStandIn(uint32_t nMaxPages = jet::kMaxPages);

protected:
    bool CreateEmptyFile(const CString& strPath) override;
    void BeginTable(const CString& strTable, const std::vector<CString>& columns) override;
    void AddRow(const std::vector<CString>& values) override;
    void Finish(const CString& strPath) override;

private:
    // Where the pages of the finished file go.
    struct CLayout
    {
        uint32_t nFirstData = 0; // the first data page of the user table
        uint32_t nDataPages = 0;
        uint32_t nTableMapPages = 0;  // map pages of the table's usage map
        uint32_t nGlobalMapPages = 0; // map pages of the database's usage map
        uint32_t nTotal = 0;
    };
    CLayout MakeLayout(uint32_t nDataPages) const;

    [[noreturn]] void Refuse(const CString& strReason) const;
    void CheckColumns(const CString& strTable, const std::vector<CString>& columns) const;
    CString MakeTableRow(const std::vector<CString>& values) const;
    void FlushPage();
    // Writes the database to strPath: with the user table when bWithTable.
    void WriteDatabase(const CString& strPath, bool bWithTable);
    void WriteFrontPages(CJetPageFile& file, const CLayout& layout, bool bWithTable) const;

    uint32_t m_nMaxPages;
    std::time_t m_tCreated = 0;
    CString m_strTable;
    CJetTableDef m_table;
    CJetDataPage m_page;
    std::unique_ptr<CJetPageFile> m_pScratch; // the full data pages, in order
    uint32_t m_nDataPages = 0;                // pages in the scratch file
    uint32_t m_nRows = 0;
};
