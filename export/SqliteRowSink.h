#pragma once
// A table of an SQLite database (.sqlite, .db), written as the rows come:
// one TEXT column per table column, named by its caption, and one record
// per row, all in one transaction.
//
// Names: each caption is kept whole as the column's name (quoted, so any
// text will do); an empty caption becomes "Column N" after its position,
// and a name met before, in any case of A-Z (SQLite compares names so),
// gets a suffix (UniqueNames.h). Values: every cell whole as TEXT, an empty
// cell the empty text; bytes that are not well-formed UTF-8 become U+FFFD
// (str::Repaired) in names and values, since readers of TEXT expect UTF-8.
//
// The file:
// - a new file, or one that is not an SQLite database, is replaced by a new
//   database made under a temporary name beside it (without a journal, as
//   nobody else can see it yet) and renamed over it when complete;
// - an existing SQLite database keeps its other tables: the table of the
//   name given is dropped and made again, and the records added, in one
//   transaction on the file itself. SQLite's journal puts the file back as
//   it was when that transaction does not complete, so a failed save leaves
//   the old database as it was; working in place also keeps the file's
//   owner, links and a write-ahead log the database may have, which a copy
//   would not.

#include "FileRowSink.h"
#include "framework/RowSink.h"
#include "framework/StringTypes.h"

#include <memory>
#include <string_view>
#include <vector>

class CTempFileBeside;
struct sqlite3;
struct sqlite3_stmt;

class CSqliteRowSink final : public CFileRowSink
{
public:
    // With bSync a new file is on the disk before it replaces the target
    // (an existing database is always written as its own settings say).
    CSqliteRowSink(CString strPath, CString strTableName, bool bSync);
    ~CSqliteRowSink() override;

    bool BeginRows(const std::vector<CTableColumn>& columns) override;
    bool AddRow(const std::string_view* pCells, int nImage) override;
    bool EndRows() override;

    // The column names for the captions (see above).
    static std::vector<CString> MakeColumnNames(const std::vector<CTableColumn>& columns);

private:
    bool Open(CString& strDbPath);
    bool Execute(const CString& strSql);
    bool FailWithDatabase();
    bool Fail(const CString& strReason);
    void Close() noexcept;

    CString m_strPath;
    CString m_strTableName;
    bool m_bSync;
    std::unique_ptr<CTempFileBeside> m_pNewFile; // null when written in place
    sqlite3* m_pDb = nullptr;
    sqlite3_stmt* m_pInsert = nullptr;
    bool m_bInTransaction = false;
    int m_nColumns = 0;
    std::vector<CString> m_repaired; // per column, a cell made well-formed
};
