#pragma once
// Turns the result list into clipboard text and files.
//
// Every export reads the list as shown: the columns of its header in header
// order, the rows in list order, a cell as its displayed text. Rows the user
// deleted are therefore gone from every export.

#include "framework/StringTypes.h"

#include <string_view>

class CListCtrl;
class ISink;

// The six formats of Save As, by their format keys.
enum class ESaveFormat { Txt, Csv, Xls, Mdb, Html, Xml };

// The key of a format ("TXT", "CSV", "XLS", "MDB", "HTML", "XML").
const char* FormatKey(ESaveFormat format);
// The format a key names: HTML, XLS, MDB, CSV and XML by exact match of the
// upper-case key, tab-delimited text for anything else.
ESaveFormat FormatFromKey(const CString& strUpperKey);
// False when the text names none of the six keys (for --format checks).
bool IsFormatKey(const CString& strUpperKey);

// How Save As chooses: the extension of the chosen name (upper case) wins;
// a name without one gets the extension of the filter in force (1-based
// index; any index past 5 is the XML filter) appended to strPath.
ESaveFormat ChooseSaveFormat(CString& strPath, int nFilterIndex);

// The filter text of the save dialog.
extern const char* const kSaveFilter;

// Tab or CSV text of rows that are not kept in a list, made as
// CListExporter::WriteDelimited writes a list's rows; text mode ends each
// line with CR LF instead of LF. May be used from several threads at once.
class CDelimitedFormat
{
public:
    // Whether cells may hold line feeds, which text mode stores as CR LF as
    // it does the line ends. Cells cut from the lines of a text never do,
    // and are then not searched for them.
    enum class ECellLineFeeds { Possible, Never };

    CDelimitedFormat(char chSeparator, bool bTextMode,
                     ECellLineFeeds eCells = ECellLineFeeds::Possible)
        : m_chSeparator(chSeparator), m_bTextMode(bTextMode),
          m_bCheckCells(bTextMode && eCells == ECellLineFeeds::Possible)
    {}
    // One row of nCount cells.
    void AppendRow(CString& strOut, const std::string_view* pCells, int nCount) const;
    // The column captions of the list as one line.
    void AppendHeader(CString& strOut, const CListCtrl& list) const;

private:
    char m_chSeparator;
    bool m_bTextMode;
    bool m_bCheckCells;
};

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
    // The column captions as one line, for the command-line --header.
    CString GetHeaderLine(const CListCtrl& list, char chSeparator) const;

    // The tab text on the clipboard.
    bool CopyAllToClipboard(const CListCtrl& list) const;

    // The XML document of the list (CR LF line ends).
    CString GetXmlText(const CListCtrl& list) const;

    // Asks for a file with the save dialog and writes the list in the format
    // its extension names. 1 when the dialog was cancelled or the file was
    // written; 0 when it could not be written, after a message that names
    // the file and the reason.
    int SaveAs(const CListCtrl& list, const CString& strTableName) const;

    // Writes the list to strPath in a format, as Save As does once the name
    // is chosen. 1 on success; 0 with strError set on failure. Text formats
    // replace an existing file only with a complete new one.
    // bHeader puts the column captions first (tab and CSV text only).
    int SaveToFile(const CString& strPath, ESaveFormat format, const CListCtrl& list,
                   const CString& strTableName, CString& strError, bool bHeader = false) const;

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
