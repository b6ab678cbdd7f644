#include "TemplateMatcher.h"

#include "CharSet.h"
#include "EditableString.h"
#include "ParseResult.h"
#include "framework/StringUtil.h"

CTemplateMatcher::CTemplateMatcher()
{
    SetSettings(kDefaultStartTag, kDefaultEndTag, kDefaultAllowedChars);
}

void CTemplateMatcher::SetSettings(const CString& strStartTag, const CString& strEndTag,
                                   const CString& strAllowedChars)
{
    m_strStartTag = strStartTag;
    m_strEndTag = strEndTag;
    m_strScanFormat = "%[" + strAllowedChars + "]";
}

bool CTemplateMatcher::GetCustomCharset(CString& strCharset, const CString& strPlaceholder)
{
    CEditableString w(strPlaceholder);
    CString strSegment;
    if (!w.ExtractBetween(strSegment, "{$$", "$$}"))
        return false;
    CEditableString seg(strSegment);
    seg.ReplaceAll("{$$", "", true);
    seg.ReplaceAll("$$}", "", true);
    if (seg.m_str.empty())
        return false;
    strCharset = seg.m_str;
    return true;
}

bool CTemplateMatcher::Scan(std::string_view data, std::string_view pattern, CString& strValue)
{
    size_t d = 0;
    size_t p = 0;
    for (;;) {
        if (p >= pattern.size())
            return false;
        const auto pc = static_cast<unsigned char>(pattern[p]);
        if (str::IsSpace(pc)) {
            while (p < pattern.size() && str::IsSpace(static_cast<unsigned char>(pattern[p])))
                ++p;
            while (d < data.size() && str::IsSpace(static_cast<unsigned char>(data[d])))
                ++d;
            continue;
        }
        if (pc == '%' && p + 1 < pattern.size() && pattern[p + 1] == '[') {
            CCharSet set;
            size_t nEnd = 0;
            if (!set.Parse(pattern, p + 2, nEnd))
                return false;
            size_t e = d;
            while (e < data.size() && set.Contains(static_cast<unsigned char>(data[e])))
                ++e;
            if (e == d)
                return false;
            strValue.assign(data.substr(d, e - d));
            return true;
        }
        if (pc == '%' && p + 1 < pattern.size() && pattern[p + 1] == '%') {
            if (d < data.size() && data[d] == '%') {
                ++d;
                p += 2;
                continue;
            }
            return false;
        }
        if (d < data.size() && static_cast<unsigned char>(data[d]) == pc) {
            ++d;
            ++p;
            continue;
        }
        return false;
    }
}

bool CTemplateMatcher::Parse(CParseResult* pResult, CString strData, CString strTemplate,
                             const CString& lpszLineBreak) const
{
    strData = str::Trim(strData);
    strTemplate = str::Trim(strTemplate);
    pResult->Clear();
    pResult->CollectFieldNames(strTemplate, lpszLineBreak, m_strStartTag, m_strEndTag);

    CLineArray dataLines;
    CLineArray templateLines;
    dataLines.Split(strData, "\r\n");
    templateLines.Split(strTemplate, "\r\n");
    if (dataLines.GetSize() < templateLines.GetSize())
        return true;

    const int nTemplateLines = templateLines.GetSize();
    int j = 0;
    const auto advance = [&] { j = j < nTemplateLines - 1 ? j + 1 : 0; };
    for (const CString& line : dataLines) {
        const CString D = str::Trim(line);
        const CString T = str::Trim(templateLines[j]);
        if (D != T && D.empty())
            continue;
        CStringArray placeholders;
        CEditableString(T).ExtractAll(placeholders, m_strStartTag, m_strEndTag, "%s");
        if (placeholders.IsEmpty()) {
            if (D == T) {
                advance();
                continue;
            }
            return false;
        }
        CEditableString pattern;
        CString strPrevConversion;
        CString strPrevValue;
        for (int k = 0; k < placeholders.GetSize(); ++k) {
            const CString& ph = placeholders[k];
            if (k == 0)
                pattern.m_str = T;
            else
                pattern.ReplaceAll(strPrevConversion, strPrevValue, true);
            CString strCharset;
            const CString conversion =
                GetCustomCharset(strCharset, ph) ? "%[" + strCharset + "]" : m_strScanFormat;
            pattern.ReplaceAll(ph, conversion, true);
            strPrevConversion = conversion;
            CString strValue;
            if (Scan(D, pattern.m_str, strValue)) {
                pResult->AddValue(CFieldValue(strValue, ph));
                strPrevValue = strValue;
            }
        }
        advance();
    }
    return true;
}
