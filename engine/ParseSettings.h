#pragma once
// The settings of one Parse Data run as the window's boxes hold them, and
// the list columns that a template gives under them.

#include "framework/RowSink.h"
#include "framework/StringTypes.h"

#include <vector>

class CListCtrl;
class CParseResult;

struct CParseSettings
{
    CString strStartTag;
    CString strEndTag;
    CString strAllowedChars;
    CString strCrCl; // the line-break convention as typed
};

// The window's defaults; the CR/CL text is the four characters \r\n.
CParseSettings DefaultParseSettings();

// "\r\n" as typed gives CR LF, "\n" gives LF; anything else is taken as it
// stands.
CString LineBreakFromCrCl(const CString& strCrCl);

// The field names of the template, as a parse collects them.
void CollectTemplateFieldNames(CParseResult& names, const CParseSettings& settings,
                               const CString& strTemplate);

// The list as the window shows it before the first parse: no rows and the
// single column "Fields After Parsing", 530 pixels wide.
void InitResultList(CListCtrl& list);
// The columns of a list fresh from InitResultList after one parse of the
// template: one per field name, or that single column when the template is
// empty.
std::vector<CTableColumn> FreshListColumns(const CParseSettings& settings,
                                           const CString& strTemplate);
