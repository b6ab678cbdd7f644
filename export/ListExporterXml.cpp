// Until its writer lands, this format answers with a clear error.
#include "ListExporter.h"

CString CListExporter::GetXmlText(const CListCtrl& /*list*/) const
{
    return {};
}

int CListExporter::SaveAsXml(const CString& /*strPath*/, const CListCtrl& /*list*/,
                             CString& strError) const
{
    strError = "The XML format is not available in this build.";
    return 0;
}
