#include "ParseSettings.h"

#include "ParseResult.h"
#include "TemplateMatcher.h"
#include "framework/ListCtrl.h"
#include "framework/StringUtil.h"


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

namespace {

const char* const kInitialCaption = "Fields After Parsing";
constexpr int kInitialWidth = 530;

} // namespace

void CollectTemplateFieldNames(CParseResult& names, const CParseSettings& settings,
                               const CString& strTemplate)
{
    names.CollectFieldNames(str::Trim(strTemplate), LineBreakFromCrCl(settings.strCrCl),
                            settings.strStartTag, settings.strEndTag);
}

void InitResultList(CListCtrl& list)
{
    list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_FULLROWSELECT);
    list.DeleteAllItems();
    list.InsertColumn(0, kInitialCaption, LVCFMT_LEFT, kInitialWidth, -1);
}

std::vector<CTableColumn> FreshListColumns(const CParseSettings& settings,
                                           const CString& strTemplate)
{
    if (strTemplate.empty())
        return {CTableColumn{kInitialCaption, kInitialWidth}};
    CParseResult names;
    CollectTemplateFieldNames(names, settings, strTemplate);
    return names.GetColumns(settings.strStartTag, settings.strEndTag);
}
