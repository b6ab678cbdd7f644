#pragma once
// The road of one Parse Data run from the chosen texts to the result list.
// The window and the command-line program both go through it.

#include "framework/RowSink.h"
#include "framework/StringTypes.h"

#include <string_view>
#include <vector>

class CListCtrl;
struct CParseReport;

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

// The list as the window shows it before the first parse: no rows and the
// single column "Fields After Parsing", 530 pixels wide.
void InitResultList(CListCtrl& list);
// The columns of a list fresh from InitResultList after one parse of the
// template: one per field name, or that single column when the template is
// empty.
std::vector<CTableColumn> FreshListColumns(const CParseSettings& settings,
                                           const CString& strTemplate);

// Parses strData by strTemplate and writes the result into the list, whose
// rows the caller has already deleted. The columns are rebuilt only when the
// template differs from strLastTemplate, which then takes the template.
// Returns whether the walk reached the end of the data. The parse reads the
// data where it is, without a copy: the list gets copies of the values.
// pReport receives what the parse did.
bool RunParse(CListCtrl& list, const CParseSettings& settings, const CString& strTemplate,
              std::string_view strData, CString& strLastTemplate, CParseReport* pReport = nullptr);
