#include "ListExporter.h"

#include "framework/ListCtrl.h"
#include "framework/Path.h"
#include "framework/Platform.h"
#include "framework/Sink.h"
#include "framework/StringUtil.h"

#include <string_view>
#include <vector>

const char* const kSaveFilter =
    "Text (Tab delimited) (*.txt)|*.txt|CSV (Comma delimited) (*.csv)|*.csv|Excel Workbook "
    "(*.xls)|*.xls|Access Database (*.mdb)|*.mdb|Web Page (*.html)|*.html|Xml Data "
    "(*.xml)|*.xml||";

const char* FormatKey(ESaveFormat format)
{
    switch (format) {
    case ESaveFormat::Txt:
        return "TXT";
    case ESaveFormat::Csv:
        return "CSV";
    case ESaveFormat::Xls:
        return "XLS";
    case ESaveFormat::Mdb:
        return "MDB";
    case ESaveFormat::Html:
        return "HTML";
    case ESaveFormat::Xml:
        return "XML";
    }
    return "TXT";
}

ESaveFormat FormatFromKey(const CString& strUpperKey)
{
    if (strUpperKey == "HTML")
        return ESaveFormat::Html;
    if (strUpperKey == "XLS")
        return ESaveFormat::Xls;
    if (strUpperKey == "MDB")
        return ESaveFormat::Mdb;
    if (strUpperKey == "CSV")
        return ESaveFormat::Csv;
    if (strUpperKey == "XML")
        return ESaveFormat::Xml;
    return ESaveFormat::Txt;
}

bool IsFormatKey(const CString& strUpperKey)
{
    return strUpperKey == "TXT" || strUpperKey == "CSV" || strUpperKey == "XLS" ||
        strUpperKey == "MDB" || strUpperKey == "HTML" || strUpperKey == "XML";
}

namespace {

ESaveFormat FormatOfFilter(int nFilterIndex)
{
    switch (nFilterIndex) {
    case 1:
        return ESaveFormat::Txt;
    case 2:
        return ESaveFormat::Csv;
    case 3:
        return ESaveFormat::Xls;
    case 4:
        return ESaveFormat::Mdb;
    case 5:
        return ESaveFormat::Html;
    default:
        return ESaveFormat::Xml;
    }
}

bool NeedsCsvQuotes(std::string_view cell)
{
    return cell.find_first_of(",\"\r\n") != std::string_view::npos;
}

// A string as the target of the cell writers below, as a CBufferedSink is.
class CStringOut
{
public:
    explicit CStringOut(CString& strOut) : m_strOut(strOut) {}
    void Put(char ch) { m_strOut.push_back(ch); }
    void Write(std::string_view bytes) { m_strOut.append(bytes); }

private:
    CString& m_strOut;
};

// Stores every LF of the text from nFrom on as CR LF, as a file opened in
// text mode does. Rows are checked whole, so that the cells, which hardly
// ever hold an LF, are not searched one by one.
void ToTextMode(CString& strText, size_t nFrom)
{
    const std::string_view tail = std::string_view(strText).substr(nFrom);
    if (str::Contains(tail, '\n'))
        strText.replace(nFrom, CString::npos, str::ToTextMode(tail));
}

template <class TOut>
void WriteCsvCell(TOut& out, std::string_view cell)
{
    if (!NeedsCsvQuotes(cell)) {
        out.Write(cell);
        return;
    }
    out.Put('"');
    for (const char ch : cell) {
        if (ch == '"')
            out.Put('"');
        out.Put(ch);
    }
    out.Put('"');
}

// The cells joined by the separator, without a line end.
template <class TOut>
void WriteCells(TOut& out, const std::string_view* pCells, int nCount, char chSeparator)
{
    for (int j = 0; j < nCount; ++j) {
        if (j > 0)
            out.Put(chSeparator);
        if (chSeparator == ',')
            WriteCsvCell(out, pCells[j]);
        else
            out.Write(pCells[j]);
    }
}

std::vector<CString> CaptionsOf(const CListCtrl& list)
{
    std::vector<CString> captions;
    for (int j = 0; j < list.GetColumnCount(); ++j)
        captions.push_back(list.GetColumnCaptionWhole(j));
    return captions;
}

template <class TOut>
void WriteHeader(TOut& out, const CListCtrl& list, char chSeparator)
{
    const std::vector<CString> captions = CaptionsOf(list);
    const std::vector<std::string_view> cells(captions.begin(), captions.end());
    WriteCells(out, cells.data(), static_cast<int>(cells.size()), chSeparator);
    out.Put('\n');
}

} // namespace

ESaveFormat ChooseSaveFormat(CString& strPath, int nFilterIndex)
{
    const CString strExt = str::ToUpper(path::Extension(strPath));
    if (strExt.empty()) {
        const ESaveFormat format = FormatOfFilter(nFilterIndex);
        CString strAppend = FormatKey(format);
        for (char& ch : strAppend)
            ch = static_cast<char>(ch - 'A' + 'a');
        strPath += "." + strAppend;
        return format;
    }
    return FormatFromKey(strExt);
}

void CDelimitedFormat::AppendRow(CString& strOut, const std::string_view* pCells, int nCount) const
{
    const size_t nFrom = strOut.size();
    CStringOut out(strOut);
    WriteCells(out, pCells, nCount, m_chSeparator);
    if (m_bTextMode) {
        if (m_bCheckCells)
            ToTextMode(strOut, nFrom);
        strOut.append("\r\n", 2);
    } else {
        strOut.push_back('\n');
    }
}

void CDelimitedFormat::AppendHeader(CString& strOut, const CListCtrl& list) const
{
    const size_t nFrom = strOut.size();
    CStringOut out(strOut);
    WriteHeader(out, list, m_chSeparator);
    if (m_bTextMode)
        ToTextMode(strOut, nFrom);
}

bool CListExporter::WriteDelimited(const CListCtrl& list, char chSeparator, bool bHeader,
                                   bool bTextMode, ISink& sink, bool bBackground) const
{
    CBufferedSink out(sink, bTextMode, size_t{1} << 20, bBackground);
    if (bHeader)
        WriteHeader(out, list, chSeparator);
    const int nColumns = list.GetColumnCount();
    std::vector<std::string_view> cells(static_cast<size_t>(nColumns));
    for (int i = 0; i < list.GetItemCount(); ++i) {
        list.GetItemTexts(i, cells.data(), nColumns);
        WriteCells(out, cells.data(), nColumns, chSeparator);
        if (!out.Put('\n'))
            return false;
    }
    return out.Flush();
}

CString CListExporter::GetTabText(const CListCtrl& list) const
{
    CStringSink sink;
    WriteDelimited(list, '\t', false, false, sink);
    return sink.GetText();
}

CString CListExporter::GetCsvText(const CListCtrl& list) const
{
    CStringSink sink;
    WriteDelimited(list, ',', false, false, sink);
    return sink.GetText();
}

CString CListExporter::GetHeaderLine(const CListCtrl& list, char chSeparator) const
{
    CListCtrl header;
    for (int j = 0; j < list.GetColumnCount(); ++j)
        header.InsertColumn(j, list.GetColumnCaptionWhole(j));
    CStringSink sink;
    WriteDelimited(header, chSeparator, true, false, sink);
    return sink.GetText();
}

bool CListExporter::CopyAllToClipboard(const CListCtrl& list) const
{
    return platform::Clipboard().SetText(GetTabText(list));
}

int CListExporter::SaveAs(const CListCtrl& list, const CString& strTableName) const
{
    const CString strCurrentDir = platform::GetCurrentDirectory();
    CFileDialogRequest request;
    request.bOpen = false;
    request.strFilter = kSaveFilter;
    request.bOverwritePrompt = true;
    const CFileDialogResult chosen = platform::FileDialog().Run(request);
    if (!chosen.bOk) {
        platform::SetCurrentDirectory(strCurrentDir);
        return 1;
    }
    CWaitCursor wait;
    CString strPath = chosen.strPath;
    const ESaveFormat format = ChooseSaveFormat(strPath, chosen.nFilterIndex);
    CString strError;
    const int nResult = SaveToFile(strPath, format, list, strTableName, strError);
    const bool bTextBranch =
        format == ESaveFormat::Txt || format == ESaveFormat::Csv || format == ESaveFormat::Xml;
    if (nResult == 0 && !strError.empty())
        platform::MessageBox().Show(strError, EMessageIcon::Exclamation);
    if (bTextBranch && nResult != 0)
        platform::SetCurrentDirectory(strCurrentDir);
    return nResult;
}

int CListExporter::SaveToFile(const CString& strPath, ESaveFormat format, const CListCtrl& list,
                              const CString& strTableName, CString& strError, bool bHeader) const
{
    switch (format) {
    case ESaveFormat::Html:
        return SaveAsHtml(strPath, list, strError);
    case ESaveFormat::Xls:
        return SaveAsExcel(strPath, list, strTableName, strError);
    case ESaveFormat::Mdb:
        return SaveAsAccess(strPath, list, strTableName, strError);
    case ESaveFormat::Csv:
        return WriteDelimitedFile(strPath, list, ',', bHeader, strError);
    case ESaveFormat::Xml:
        return SaveAsXml(strPath, list, strError);
    case ESaveFormat::Txt:
        break;
    }
    return WriteDelimitedFile(strPath, list, '\t', bHeader, strError);
}

int CListExporter::WriteDelimitedFile(const CString& strPath, const CListCtrl& list,
                                      char chSeparator, bool bHeader, CString& strError) const
{
    // Rows go to the file as they are formed, so a large list is not held a
    // second time as text.
    CAtomicFileSink sink(strPath);
    if (!sink.Open() || !WriteDelimited(list, chSeparator, bHeader, true, sink, true) ||
        !sink.Commit()) {
        strError = sink.GetError();
        return 0;
    }
    return 1;
}
