#include "ParseCommand.h"

#include "ParseResult.h"
#include "TemplateMatcher.h"
#include "framework/ListCtrl.h"

CParseSettings DefaultParseSettings()
{
    CParseSettings settings;
    settings.strStartTag = kDefaultStartTag;
    settings.strEndTag = kDefaultEndTag;
    settings.strAllowedChars = kDefaultAllowedChars;
    settings.strCrCl = "\\r\\n";
    return settings;
}

CString LineBreakFromCrCl(const CString& strCrCl)
{
    if (strCrCl == "\\r\\n")
        return "\r\n";
    if (strCrCl == "\\n")
        return "\n";
    return strCrCl;
}

void InitResultList(CListCtrl& list)
{
    list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_FULLROWSELECT);
    list.DeleteAllItems();
    list.InsertColumn(0, "Fields After Parsing", LVCFMT_LEFT, 530, -1);
}

bool RunParse(CListCtrl& list, const CParseSettings& settings, const CString& strTemplate,
              std::string_view strData, CString& strLastTemplate)
{
    const CString strLineBreak = LineBreakFromCrCl(settings.strCrCl);
    CTemplateMatcher matcher;
    matcher.SetSettings(settings.strStartTag, settings.strEndTag, settings.strAllowedChars);
    CParseResult result;
    const bool bComplete = matcher.ParseText(&result, strData, strTemplate, strLineBreak);
    result.FillList(list, strTemplate != strLastTemplate, settings.strStartTag, settings.strEndTag);
    strLastTemplate = strTemplate;
    return bComplete;
}
