#pragma once
// The result list as one table of a new spreadsheet or database file,
// written through an installed ODBC driver.
//
// The driver creates an empty file under a temporary name in the temporary
// folder; the table and its records go in through a connection; the finished
// file then replaces whatever was at the chosen path. The temporary files
// never outlive the export.

#include "framework/StringTypes.h"

class CListCtrl;

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
    // Doubles every apostrophe.
    static void EscapeQuotes(CString& str);

    // The column name made from a header caption: trimmed, blanks and minus
    // signs turned into underscores, and "Time" or "Date" renamed
    // "Date_Time".
    static CString MakeColumnName(const CString& strCaption);
    // The column names of the list's header, captions cut to 255 bytes.
    static CStringArray MakeColumnNames(const CListCtrl& list);
    // The value made from a cell text: control bytes and bytes that are not
    // well-formed UTF-8 become blanks, apostrophes are doubled, white space
    // is trimmed at both ends.
    static CString MakeValue(const CString& strCell);
};
