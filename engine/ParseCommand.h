#pragma once
// The road of one Parse Data run from the chosen texts to the result list.
// The window and the command-line program both go through it.

#include "ParseSettings.h"
#include "framework/StringTypes.h"

#include <string_view>

class CListCtrl;
struct CParseReport;

// Parses strData by strTemplate and writes the result into the list, whose
// rows the caller has already deleted. The columns are rebuilt only when the
// template differs from strLastTemplate, which then takes the template.
// Returns whether the walk reached the end of the data. The parse reads the
// data where it is, without a copy: the list gets copies of the values.
// pReport receives what the parse did.
bool RunParse(CListCtrl& list, const CParseSettings& settings, const CString& strTemplate,
              std::string_view strData, CString& strLastTemplate, CParseReport* pReport = nullptr);
