#pragma once
// Prints the result list as a boxed grid under a title.

#include "framework/StringTypes.h"

class CListCtrl;

class CListPrinter
{
public:
    CListPrinter() = default;
    virtual ~CListPrinter() = default;

    // True when a document was sent to the printer; false when the list has
    // no rows or the user cancelled the print dialog.
    bool PrintList(const CListCtrl& list, const CString& strTitle);
};
