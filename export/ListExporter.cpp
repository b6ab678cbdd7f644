#include "ListExporter.h"

#include "framework/ListCtrl.h"
#include "framework/Platform.h"
#include "framework/Sink.h"
#include "framework/StringUtil.h"

#include <string_view>

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

// The characters after the last dot of the file name, without the dot.
CString FileExtension(const CString& strPath)
{
    const size_t nSlash = strPath.rfind('/');
    const size_t nNameStart = nSlash == CString::npos ? 0 : nSlash + 1;
    const size_t nDot = strPath.rfind('.');
    if (nDot == CString::npos || nDot < nNameStart)
        return {};
    return strPath.substr(nDot + 1);
}

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

void AppendCsvCell(CString& out, std::string_view cell)
{
    if (!NeedsCsvQuotes(cell)) {
        out.append(cell);
        return;
    }
    out.push_back('"');
    for (const char ch : cell) {
        if (ch == '"')
            out.push_back('"');
        out.push_back(ch);
    }
    out.push_back('"');
}

template <class TAppendCell>
CString BuildDelimited(const CListCtrl& list, char chSeparator, TAppendCell appendCell)
{
    const int nColumns = list.GetColumnCount();
    CString result;
    for (int i = 0; i < list.GetItemCount(); ++i) {
        for (int j = 0; j < nColumns; ++j) {
            if (j > 0)
                result.push_back(chSeparator);
            appendCell(result, list.GetItemTextView(i, j));
        }
        result.push_back('\n');
    }
    return result;
}

} // namespace

ESaveFormat ChooseSaveFormat(CString& strPath, int nFilterIndex)
{
    const CString strExt = str::ToUpper(FileExtension(strPath));
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

CString CListExporter::GetTabText(const CListCtrl& list) const
{
    return BuildDelimited(list, '\t',
                          [](CString& out, std::string_view cell) { out.append(cell); });
}

CString CListExporter::GetCsvText(const CListCtrl& list) const
{
    return BuildDelimited(list, ',', AppendCsvCell);
}

CString CListExporter::GetHeaderLine(const CListCtrl& list, char chSeparator) const
{
    CString result;
    for (int j = 0; j < list.GetColumnCount(); ++j) {
        if (j > 0)
            result.push_back(chSeparator);
        const CString strCaption = list.GetColumnCaptionWhole(j);
        if (chSeparator == ',')
            AppendCsvCell(result, strCaption);
        else
            result.append(strCaption);
    }
    result.push_back('\n');
    return result;
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
    case ESaveFormat::Csv: {
        const CString strHeader = bHeader ? GetHeaderLine(list, ',') : CString();
        return WriteFileAtomically(strPath, str::ToTextMode(strHeader + GetCsvText(list)), strError)
                   ? 1
                   : 0;
    }
    case ESaveFormat::Xml:
        return SaveAsXml(strPath, list, strError);
    case ESaveFormat::Txt:
        break;
    }
    const CString strHeader = bHeader ? GetHeaderLine(list, '\t') : CString();
    return WriteFileAtomically(strPath, str::ToTextMode(strHeader + GetTabText(list)), strError)
               ? 1
               : 0;
}
