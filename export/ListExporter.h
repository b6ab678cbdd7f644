#pragma once
// Turns the result list into clipboard text and files.
//
// Every export reads the list as shown: the columns of its header in header
// order, the rows in list order, a cell as its displayed text. Rows the user
// deleted are therefore gone from every export. Each format is written by
// its row sink (SaveFormat.h), which the list hands its rows to.

#include "DelimitedFormat.h"
#include "SaveFormat.h"
#include "framework/StringTypes.h"

#include <string_view>

class CListCtrl;
class ISink;

class CListExporter
{
public:
    CListExporter() = default;
    virtual ~CListExporter() = default;

    // One line per row, cells joined by tabs, every row ended by LF; no
    // header line and no quoting.
    CString GetTabText(const CListCtrl& list) const;
    // As GetTabText with commas. A cell holding a comma, a double quote, a
    // CR or an LF is written between double quotes with its quotes doubled.
    CString GetCsvText(const CListCtrl& list) const;
    // The tab (chSeparator '\t') or CSV (',') text of the list, with the
    // captions first when bHeader, into a sink; text mode writes each LF as
    // CR LF. False when the sink fails. bBackground writes the sink from a
    // second thread while the next rows are formed (for files and pipes).
    bool WriteDelimited(const CListCtrl& list, char chSeparator, bool bHeader, bool bTextMode,
                        ISink& sink, bool bBackground = false) const;
    // The column captions as one line.
    CString GetHeaderLine(const CListCtrl& list, char chSeparator) const;

    // The tab text on the clipboard.
    bool CopyAllToClipboard(const CListCtrl& list) const;

    // The XML document of the list (CR LF line ends).
    CString GetXmlText(const CListCtrl& list) const;

    // The files whose texts the window holds, the list's sources (empty
    // paths for none).
    struct CLoadedFiles
    {
        CString strDataPath;
        CString strTemplatePath;
    };

    // Asks for a file with the save dialog and writes the list in the format
    // its extension names. 1 when the dialog was cancelled or the file was
    // written; 0 when it could not be written, after a message that names
    // the file and the reason.
    //
    // Before a file is touched: one of the loaded files (the same file by
    // device and inode, whatever the path) is replaced only when the user
    // agrees; an HTML report this program wrote
    // gets the rows added or is replaced, as the user chooses; any other
    // existing file is replaced, as the save dialog asked. Declining is a
    // cancel. bWritten tells whether a file was written.
    int SaveAs(const CListCtrl& list, const CString& strTableName) const;
    int SaveAs(const CListCtrl& list, const CString& strTableName, const CLoadedFiles& loadedFiles,
               bool& bWritten) const;

    // Writes the list to strPath in a format, as Save As does once the name
    // is chosen. 1 on success; 0 with strError set on failure. Text formats
    // replace an existing file only with a complete new one.
    // bHeader puts the column captions first (tab and CSV text only);
    // bReplace replaces an HTML report instead of adding to it.
    int SaveToFile(const CString& strPath, ESaveFormat format, const CListCtrl& list,
                   const CString& strTableName, CString& strError, bool bHeader = false,
                   bool bReplace = false) const;

    // Tab or CSV text in text mode, replacing the file only when complete.
    int WriteDelimitedFile(const CString& strPath, const CListCtrl& list, char chSeparator,
                           bool bHeader, CString& strError) const;
    // The XML document, stored byte for byte.
    int SaveAsXml(const CString& strPath, const CListCtrl& list, CString& strError) const;
    // The HTML report, adding to a report this writer made earlier.
    int SaveAsHtml(const CString& strPath, const CListCtrl& list, CString& strError) const;
    // A table of a new spreadsheet or database file made through ODBC.
    int SaveAsExcel(const CString& strPath, const CListCtrl& list, const CString& strTableName,
                    CString& strError) const;
    int SaveAsAccess(const CString& strPath, const CListCtrl& list, const CString& strTableName,
                     CString& strError) const;
};
