// Until its writer lands, this format answers with a clear error.
#include "ListExporter.h"

int CListExporter::SaveAsHtml(const CString& /*strPath*/, const CListCtrl& /*list*/,
                              CString& strError) const
{
    strError = "The HTML format is not available in this build.";
    return 0;
}
