#include "ListPrinter.h"

#include "framework/ListCtrl.h"
#include "framework/Platform.h"

bool CListPrinter::PrintList(const CListCtrl& list, const CString& /*strTitle*/)
{
    if (list.GetItemCount() < 1)
        return false;
    platform::MessageBox().Show("Printing is not available in this build.", EMessageIcon::Information);
    return false;
}
