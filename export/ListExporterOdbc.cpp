// Until its writer lands, this format answers with a clear error.
#include "ListExporter.h"

int CListExporter::SaveAsExcel(const CString& /*strPath*/, const CListCtrl& /*list*/,
                               const CString& /*strTableName*/, CString& strError) const
{
    strError = "The XLS format is not available in this build.";
    return 0;
}

int CListExporter::SaveAsAccess(const CString& /*strPath*/, const CListCtrl& /*list*/,
                                const CString& /*strTableName*/, CString& strError) const
{
    strError = "The MDB format is not available in this build.";
    return 0;
}
