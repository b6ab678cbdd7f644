#include "ParseCommand.h"

#include "ParseReport.h"
#include "ParseResult.h"
#include "StreamedParse.h"
#include "framework/File.h"
#include "framework/ListCtrl.h"
#include "framework/ListRows.h"


bool RunParse(CListCtrl& list, const CParseSettings& settings, const CString& strTemplate,
              std::string_view strData, CString& strLastTemplate, CParseReport* pReport)
{
    // The rows are formed while the text is parsed, in pieces on several
    // threads for a large text; the view hears of them once.
    list.SetRedraw(false);
    if (strTemplate != strLastTemplate) {
        CParseResult names;
        CollectTemplateFieldNames(names, settings, strTemplate);
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
