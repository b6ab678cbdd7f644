#pragma once
// The formats a table can be saved in, one line of a table each: the key
// that names it on the command line, its extension, its filter in the save
// dialog, and the row sink that writes it. A format is added with its
// writer (a row sink in a file of its own) and one line in that table.

#include "framework/RowSink.h"
#include "framework/StringTypes.h"

#include <functional>
#include <memory>

class ISink;

// The formats, by their keys; they are the save dialog's filters, in their
// order.
enum class ESaveFormat { Txt, Csv, Xls, Mdb, Html, Xml, Xlsx, Sqlite, Json, Jsonl };

// Where a format's rows go and how.
struct CExportTarget
{
    CString strPath;              // the file; replaced only by a complete new one
    ISink* pStream = nullptr;     // instead of a file, for formats that stream
    bool bHeader = false;         // the column captions first (tab and comma text)
    bool bSync = true;            // a file is on the disk before it replaces the old one
    bool bBackground = false;     // a file is written by a second thread as rows are formed
    bool bCellsFromLines = false; // cells are pieces of lines: no CR or LF in them
    bool bReplace = false;        // an HTML report at the path is replaced, not added to
    CString strTableName;         // the table of a spreadsheet or database
    // Told when a save waits for another program writing the same report.
    std::function<void(const CString&)> onWait;
};

struct CSaveFormatInfo
{
    ESaveFormat format;
    const char* pszKey;       // "TXT"
    const char* pszExtension; // "txt", lower case, without the dot; the one appended
    const char* pszFilter;    // the save dialog's filter: "Name (*.txt)|*.txt", the
                              // patterns separated by blanks (as Qt reads them)
    bool bStreams;            // can be written to a stream instead of a file
    bool bHeaderOption;       // takes the header option
    std::unique_ptr<IRowSink> (*pMakeSink)(const CExportTarget& target);
};

const CSaveFormatInfo& SaveFormatInfo(ESaveFormat format);

// Every format, in the order of the table.
struct CSaveFormatList
{
    const CSaveFormatInfo* pBegin;
    const CSaveFormatInfo* pEnd;
    const CSaveFormatInfo* begin() const { return pBegin; }
    const CSaveFormatInfo* end() const { return pEnd; }
};
CSaveFormatList SaveFormats();

// The row sink that writes the format to the target.
std::unique_ptr<IRowSink> MakeFormatSink(ESaveFormat format, const CExportTarget& target);

// The key of a format ("TXT", "CSV", "XLS", "MDB", "HTML", "XML", "XLSX",
// "SQLITE", "JSON", "JSONL").
const char* FormatKey(ESaveFormat format);
// The format a key names, by exact match of the upper-case key; tab-delimited
// text for anything else.
ESaveFormat FormatFromKey(const CString& strUpperKey);
// False when the text names no format (for --format checks).
bool IsFormatKey(const CString& strUpperKey);

// How Save As chooses: the extension of the chosen name wins, in any case:
// the format whose filter names it ("*.db" is SQLite), and tab-delimited
// text for any other; a name without one gets the extension of the filter
// in force (1-based index; any index past the filters is the XML filter)
// appended to strPath.
ESaveFormat ChooseSaveFormat(CString& strPath, int nFilterIndex);

// The filter text of the save dialog: every format's filter, in the order of
// the table, each followed by "|", and a closing "|".
const CString& SaveDialogFilter();
