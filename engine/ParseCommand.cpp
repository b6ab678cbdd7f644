#include "ParseCommand.h"

#include "ParseReport.h"
#include "ParseResult.h"
#include "StreamedParse.h"
#include "TemplateMatcher.h"
#include "framework/File.h"
#include "framework/ListCtrl.h"
#include "framework/ListRows.h"
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

// The field names of the template, as a parse collects them.
void CollectNames(CParseResult& names, const CParseSettings& settings, const CString& strTemplate)
{
    names.CollectFieldNames(str::Trim(strTemplate), LineBreakFromCrCl(settings.strCrCl),
                            settings.strStartTag, settings.strEndTag);
}

} // namespace

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
    CollectNames(names, settings, strTemplate);
    return names.GetColumns(settings.strStartTag, settings.strEndTag);
}

bool RunParse(CListCtrl& list, const CParseSettings& settings, const CString& strTemplate,
              std::string_view strData, CString& strLastTemplate, CParseReport* pReport)
{
    // The rows are formed while the text is parsed, in pieces on several
    // threads for a large text; the view hears of them once.
    list.SetRedraw(false);
    if (strTemplate != strLastTemplate) {
        CParseResult names;
        CollectNames(names, settings, strTemplate);
        names.FillList(list, true, settings.strStartTag, settings.strEndTag);
    }
    const CStreamedParse parse(settings, strTemplate);
    CListRowSink sink(list);
    CString strError;
    CParseReport report;
    const bool bParsed = parse.RunText(strData, list.GetColumnCount(), sink, strError, &report);
    list.SetRedraw(true);
    strLastTemplate = strTemplate;
    if (!bParsed)
        throw CUserException(strError);
    const bool bComplete = report.eEnd != CParseReport::EEnd::Mismatch;
    if (pReport != nullptr)
        *pReport = std::move(report);
    return bComplete;
}
