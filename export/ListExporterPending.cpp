// The formats whose writers have not landed yet answer with a clear error.
#include "ListExporter.h"

namespace {
CString NotAvailable(const char* pszFormat)
{
    return CString("The ") + pszFormat + " format is not available in this build.";
}
} // namespace

CString CListExporter::GetXmlText(const CListCtrl& /*list*/) const
{
    return {};
}

int CListExporter::SaveAsXml(const CString& /*strPath*/, const CListCtrl& /*list*/,
                             CString& strError) const
{
    strError = NotAvailable("XML");
    return 0;
}

int CListExporter::SaveAsHtml(const CString& /*strPath*/, const CListCtrl& /*list*/,
                              CString& strError) const
{
    strError = NotAvailable("HTML");
    return 0;
}

int CListExporter::SaveAsExcel(const CString& /*strPath*/, const CListCtrl& /*list*/,
                               const CString& /*strTableName*/, CString& strError) const
{
    strError = NotAvailable("XLS");
    return 0;
}

int CListExporter::SaveAsAccess(const CString& /*strPath*/, const CListCtrl& /*list*/,
                                const CString& /*strTableName*/, CString& strError) const
{
    strError = NotAvailable("MDB");
    return 0;
}
