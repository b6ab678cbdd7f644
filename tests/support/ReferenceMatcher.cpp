#include "ReferenceMatcher.h"

#include "engine/CharSet.h"
#include "engine/EditableString.h"
#include "engine/LineArray.h"
#include "framework/StringUtil.h"

namespace {

bool GetCustomSet(CString& strSet, const CString& strPlaceholder)
{
    CString seg;
    if (!CEditableString(strPlaceholder).ExtractBetween(seg, "{$$", "$$}"))
        return false;
    CEditableString w(seg);
    w.ReplaceAll("{$$", "", true);
    w.ReplaceAll("$$}", "", true);
    if (w.m_str.empty())
        return false;
    strSet = w.m_str;
    return true;
}

bool Scan(const CString& D, const CString& P, CString& strValue)
{
    size_t d = 0;
    size_t p = 0;
    for (;;) {
        if (p >= P.size())
            return false;
        const auto pc = static_cast<unsigned char>(P[p]);
        if (str::IsSpace(pc)) {
            while (p < P.size() && str::IsSpace(static_cast<unsigned char>(P[p])))
                ++p;
            while (d < D.size() && str::IsSpace(static_cast<unsigned char>(D[d])))
                ++d;
        } else if (pc == '%' && p + 1 < P.size() && P[p + 1] == '[') {
            CCharSet set;
            size_t nEnd = 0;
            if (!set.Parse(P, p + 2, nEnd))
                return false;
            size_t e = d;
            while (e < D.size() && set.Contains(static_cast<unsigned char>(D[e])))
                ++e;
            if (e == d)
                return false;
            strValue = D.substr(d, e - d);
            return true;
        } else if (pc == '%' && p + 1 < P.size() && P[p + 1] == '%') {
            if (d >= D.size() || D[d] != '%')
                return false;
            ++d;
            p += 2;
        } else if (d < D.size() && static_cast<unsigned char>(D[d]) == pc) {
            ++d;
            ++p;
        } else {
            return false;
        }
    }
}

} // namespace

CReferenceRun ReferenceParse(const CString& strDataIn, const CString& strTemplateIn,
                             const CString& strLineBreak, const CString& strStartTag,
                             const CString& strEndTag, const CString& strAllowedChars)
{
    CReferenceRun run;
    const CString strScanFormat = "%[" + strAllowedChars + "]";
    const CString strData = str::Trim(strDataIn);
    const CString strTemplate = str::Trim(strTemplateIn);

    CLineArray pieces;
    pieces.Split(strTemplate, strLineBreak);
    CLineArray names;
    pieces.CollectPlaceholders(names, strStartTag, strEndTag, "\r\n");
    names.RemoveDuplicates();
    run.fieldNames = names;

    CLineArray dataLines;
    CLineArray templateLines;
    dataLines.Split(strData, "\r\n");
    templateLines.Split(strTemplate, "\r\n");
    run.bComplete = true;
    if (dataLines.GetSize() < templateLines.GetSize())
        return run;
    int j = 0;
    for (int i = 0; i < dataLines.GetSize(); ++i) {
        const CString D = str::Trim(dataLines[i]);
        const CString T = str::Trim(templateLines[j]);
        if (D != T && D.empty())
            continue;
        CStringArray placeholders;
        CEditableString(T).ExtractAll(placeholders, strStartTag, strEndTag, "%s");
        if (placeholders.IsEmpty() && D != T) {
            run.bComplete = false;
            return run;
        }
        CEditableString pattern;
        CString strPrevConversion;
        CString strPrevValue;
        for (int k = 0; k < placeholders.GetSize(); ++k) {
            if (k == 0)
                pattern.m_str = T;
            else
                pattern.ReplaceAll(strPrevConversion, strPrevValue, true);
            CString strSet;
            const CString conversion =
                GetCustomSet(strSet, placeholders[k]) ? "%[" + strSet + "]" : strScanFormat;
            pattern.ReplaceAll(placeholders[k], conversion, true);
            strPrevConversion = conversion;
            CString strValue;
            if (Scan(D, pattern.m_str, strValue)) {
                run.values.emplace_back(placeholders[k], strValue);
                strPrevValue = strValue;
            }
        }
        j = j < templateLines.GetSize() - 1 ? j + 1 : 0;
    }
    return run;
}
