#include "ListExporter.h"

#include "XmlRowSink.h"
#include "framework/ListCtrl.h"
#include "framework/ListRows.h"
#include "framework/Platform.h"
#include "framework/Sink.h"

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
    CExportTarget target;
    target.strPath = strPath;
    target.strTableName = strTableName;
    target.bHeader = bHeader && SaveFormatInfo(format).bHeaderOption;
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
