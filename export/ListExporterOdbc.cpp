#include "ListExporter.h"

#include "OdbcExport.h"

int CListExporter::SaveAsExcel(const CString& strPath, const CListCtrl& list,
                               const CString& strTableName, CString& strError) const
{
    const COdbcExport exporter;
    return exporter.ExportExcel(strTableName, strPath, list, strError);
}

int CListExporter::SaveAsAccess(const CString& strPath, const CListCtrl& list,
                                const CString& strTableName, CString& strError) const
{
    const COdbcExport exporter;
    return exporter.ExportAccess(strTableName, strPath, list, strError);
}
