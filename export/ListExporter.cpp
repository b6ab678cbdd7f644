#include "ListExporter.h"

#include "HtmlLog.h"
#include "XmlRowSink.h"
#include "framework/ListCtrl.h"
#include "framework/ListRows.h"
#include "framework/Platform.h"
#include "framework/Sink.h"

#include <sys/stat.h>

namespace {

// Whether two paths name one file: the same device and inode, so that a
// link or a path through ".." is caught as well.
bool IsSameFile(const CString& strPath, const CString& strOther)
{
    if (strPath.empty() || strOther.empty())
        return false;
    struct stat st
    {};
    struct stat other
    {};
    return ::stat(strPath.c_str(), &st) == 0 && ::stat(strOther.c_str(), &other) == 0 &&
        st.st_dev == other.st_dev && st.st_ino == other.st_ino;
}

CString FileNameOf(const CString& strPath)
{
    const size_t nSlash = strPath.rfind('/');
    return nSlash == CString::npos ? strPath : strPath.substr(nSlash + 1);
}

// The questions asked before the chosen file is touched. False when the
// user keeps the file; bReplace tells the HTML report to replace a report
// instead of adding to it.
bool AgreeToWrite(const CString& strPath, ESaveFormat format,
                  const CListExporter::CLoadedFiles& loadedFiles, bool& bReplace)
{
    const CString strQuoted = "\"" + FileNameOf(strPath) + "\"";
    if (IsSameFile(strPath, loadedFiles.strDataPath) &&
        !platform::MessageBox().AskYesNo(strQuoted +
                                         " is the loaded data file. Replace it with the table?"))
        return false;
    if (IsSameFile(strPath, loadedFiles.strTemplatePath) &&
        !platform::MessageBox().AskYesNo(strQuoted +
                                         " is the loaded template file. Replace it with the "
                                         "table?"))
        return false;
    bReplace = false;
    if (format != ESaveFormat::Html)
        return true;
    struct stat st
    {};
    if (::stat(strPath.c_str(), &st) != 0)
        return true;
    // A report gets the rows added, as it always has, unless the user
    // wants it replaced; any other file was offered for replacing by the
    // save dialog, and the user agreed there.
    if (!CHtmlLog::IsReport(strPath)) {
        bReplace = true;
        return true;
    }
    switch (platform::MessageBox().AskAddOrReplace("Add the rows to the report " + strQuoted +
                                                   ", or replace it?")) {
    case EAddOrReplace::Add:
        return true;
    case EAddOrReplace::Replace:
        bReplace = true;
        return true;
    case EAddOrReplace::Cancel:
        break;
    }
    return false;
}

} // namespace

bool CListExporter::WriteDelimited(const CListCtrl& list, char chSeparator, bool bHeader,
                                   bool bTextMode, ISink& sink, bool bBackground) const
{
    CDelimitedSink rows(sink, CDelimitedFormat(chSeparator, bTextMode), bHeader, bBackground);
    return SendListRows(list, rows);
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
    CString strHeader;
    CDelimitedFormat(chSeparator, false).AppendHeader(strHeader, list);
    return strHeader;
}

bool CListExporter::CopyAllToClipboard(const CListCtrl& list) const
{
    return platform::Clipboard().SetText(GetTabText(list));
}

CString CListExporter::GetXmlText(const CListCtrl& list) const
{
    CStringSink sink;
    CXmlRowSink rows(sink);
    SendListRows(list, rows);
    return sink.GetText();
}

int CListExporter::SaveAs(const CListCtrl& list, const CString& strTableName) const
{
    bool bWritten = false;
    return SaveAs(list, strTableName, CLoadedFiles(), bWritten);
}

int CListExporter::SaveAs(const CListCtrl& list, const CString& strTableName,
                          const CLoadedFiles& loadedFiles, bool& bWritten) const
{
    bWritten = false;
    const CString strCurrentDir = platform::GetCurrentDirectory();
    CFileDialogRequest request;
    request.bOpen = false;
    request.strFilter = SaveDialogFilter();
    request.bOverwritePrompt = true;
    const CFileDialogResult chosen = platform::FileDialog().Run(request);
    if (!chosen.bOk) {
        platform::SetCurrentDirectory(strCurrentDir);
        return 1;
    }
    CString strPath = chosen.strPath;
    const ESaveFormat format = ChooseSaveFormat(strPath, chosen.nFilterIndex);
    bool bReplace = false;
    if (!AgreeToWrite(strPath, format, loadedFiles, bReplace)) {
        platform::SetCurrentDirectory(strCurrentDir);
        return 1;
    }
    CWaitCursor wait;
    CString strError;
    const int nResult = SaveToFile(strPath, format, list, strTableName, strError, false, bReplace);
    bWritten = nResult != 0;
    const bool bTextBranch =
        format == ESaveFormat::Txt || format == ESaveFormat::Csv || format == ESaveFormat::Xml;
    if (nResult == 0 && !strError.empty())
        platform::MessageBox().Show(strError, EMessageIcon::Exclamation);
    if (bTextBranch && nResult != 0)
        platform::SetCurrentDirectory(strCurrentDir);
    return nResult;
}

int CListExporter::SaveToFile(const CString& strPath, ESaveFormat format, const CListCtrl& list,
                              const CString& strTableName, CString& strError, bool bHeader,
                              bool bReplace) const
{
    CExportTarget target;
    target.strPath = strPath;
    target.strTableName = strTableName;
    target.bHeader = bHeader && SaveFormatInfo(format).bHeaderOption;
    target.bReplace = bReplace;
    // Rows go to the file as they are formed, so a large list is not held
    // a second time as text.
    target.bBackground = true;
    const std::unique_ptr<IRowSink> pSink = MakeFormatSink(format, target);
    if (!SendListRows(list, *pSink)) {
        strError = pSink->GetError();
        return 0;
    }
    return 1;
}

int CListExporter::WriteDelimitedFile(const CString& strPath, const CListCtrl& list,
                                      char chSeparator, bool bHeader, CString& strError) const
{
    return SaveToFile(strPath, chSeparator == ',' ? ESaveFormat::Csv : ESaveFormat::Txt, list,
                      CString(), strError, bHeader);
}

int CListExporter::SaveAsXml(const CString& strPath, const CListCtrl& list, CString& strError) const
{
    return SaveToFile(strPath, ESaveFormat::Xml, list, CString(), strError);
}

int CListExporter::SaveAsHtml(const CString& strPath, const CListCtrl& list,
                              CString& strError) const
{
    return SaveToFile(strPath, ESaveFormat::Html, list, CString(), strError);
}

int CListExporter::SaveAsExcel(const CString& strPath, const CListCtrl& list,
                               const CString& strTableName, CString& strError) const
{
    return SaveToFile(strPath, ESaveFormat::Xls, list, strTableName, strError);
}

int CListExporter::SaveAsAccess(const CString& strPath, const CListCtrl& list,
                                const CString& strTableName, CString& strError) const
{
    return SaveToFile(strPath, ESaveFormat::Mdb, list, strTableName, strError);
}
