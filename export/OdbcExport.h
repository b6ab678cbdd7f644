#pragma once
// The result list as one table of a new spreadsheet or database file,
// written through an installed ODBC driver.
//
// The driver creates an empty file under a temporary name in the temporary
// folder; the table and its records go in through a connection; the finished
// file then replaces whatever was at the chosen path. The temporary files
// never outlive the export.

#include "FileRowSink.h"
#include "framework/RowSink.h"
#include "framework/StringTypes.h"

#include <memory>
#include <string_view>
#include <vector>

class CDatabase;
class CListCtrl;
class CStandInDriver;
class CTempExportFile;

class COdbcExport
{
public:
    COdbcExport() = default;
    virtual ~COdbcExport() = default;

    // Export through the first driver whose name contains "Microsoft Excel
    // Driver (*.xls)", or "Microsoft Access Driver (*.mdb)".
    int ExportExcel(const CString& strTableName, const CString& strPath, const CListCtrl& list,
                    CString& strError) const;
    int ExportAccess(const CString& strTableName, const CString& strPath, const CListCtrl& list,
                     CString& strError) const;

    // Writes the list as table strTableName of a new file at strPath through
    // the first driver whose name contains strDriverPattern; strExtension
    // (".xls") names the kind of file the driver makes. 1 when the file is
    // in place. 0 with strError set (naming the driver or the file) when no
    // driver matches or the file cannot be made or moved. A connection or a
    // statement the driver refuses raises CDatabaseException with the
    // driver's text. Whatever the outcome, nothing of a failed export is left
    // at strPath or in the temporary folder.
    int Export(const CString& strTableName, const CString& strPath, const CListCtrl& list,
               const CString& strDriverPattern, const CString& strExtension,
               CString& strError) const;

    // The full name of the first installed driver whose name contains
    // strPattern (exact, case-sensitive), or an empty text.
    CString FindDriver(const CString& strPattern) const;

    // "create table [T]([A] char (255),[B] char (255))".
    CString MakeCreateTable(const CString& strTableName, const CStringArray& arrColumns) const;
    // "insert into [T] (A,B) values ('a','b')" with the values of list item
    // nItem, one per header column.
    CString MakeInsert(const CString& strTableName, const CStringArray& arrColumns,
                       const CListCtrl& list, int nItem) const;
    // The same for a row of nCount whole cells (each cut to 255 bytes).
    CString MakeInsert(const CString& strTableName, const CStringArray& arrColumns,
                       const std::string_view* pCells, int nCount) const;
    // Doubles every apostrophe.
    static void EscapeQuotes(CString& str);

    // The column name made from a header caption: trimmed, blanks and minus
    // signs turned into underscores, and "Time" or "Date" renamed
    // "Date_Time".
    static CString MakeColumnName(const CString& strCaption);
    // The column names of the list's header, captions cut to 255 bytes.
    static CStringArray MakeColumnNames(const CListCtrl& list);
    static CStringArray MakeColumnNames(const std::vector<CTableColumn>& columns);
    // The value made from a cell text: control bytes and bytes that are not
    // well-formed UTF-8 become blanks, apostrophes are doubled, white space
    // is trimmed at both ends.
    static CString MakeValue(const CString& strCell);
};

// The rows it takes as table strTableName of a new file at strPath, made by
// the first installed driver whose name contains strDriverPattern, or
// without one by a stand-in of the program's own under that name (as
// COdbcExport::Export describes). An export that is not completed leaves
// nothing behind.
class COdbcRowSink final : public CFileRowSink
{
public:
    COdbcRowSink(CString strTableName, CString strPath, CString strDriverPattern,
                 CString strExtension);
    ~COdbcRowSink() override;

    // Finds the driver, makes the file and its table. False with GetError
    // when no driver matches or no temporary file can be made; a driver's
    // refusal raises CDatabaseException.
    bool BeginRows(const std::vector<CTableColumn>& columns) override;
    // One insert statement; a refusal raises CDatabaseException.
    bool AddRow(const std::string_view* pCells, int nImage) override;
    // Closes the connection and moves the file to its place.
    bool EndRows() override;

private:
    void Execute(const CString& strSql);

    CString m_strTableName;
    CString m_strPath;
    CString m_strDriverPattern;
    CString m_strExtension;
    CStringArray m_arrColumns;
    std::unique_ptr<CTempExportFile> m_pTemp;
    std::unique_ptr<CStandInDriver> m_pStandIn;
    std::unique_ptr<CDatabase> m_pDatabase;
};
