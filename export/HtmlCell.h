#pragma once
// One cell slot of an HTML table row.

#include "framework/StringTypes.h"

struct CHtmlCell
{
    // The cell's text as given, unescaped; it keeps its value from row to
    // row until it is set again.
    CString m_strText;
    // The width attribute (WIDTH="n%"), empty when none is set.
    CString m_strWidth;
};
