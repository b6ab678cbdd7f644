#include "PlaceholderSyntax.h"

#include "EditableString.h"

namespace placeholder {

bool GetCustomCharset(CString& strCharset, const CString& strPlaceholder)
{
    CEditableString w(strPlaceholder);
    CString strSegment;
    if (!w.ExtractBetween(strSegment, kCharsetStart, kCharsetEnd))
        return false;
    CEditableString seg(strSegment);
    seg.ReplaceAll(kCharsetStart, "", true);
    seg.ReplaceAll(kCharsetEnd, "", true);
    if (seg.m_str.empty())
        return false;
    strCharset = seg.m_str;
    return true;
}

CString ConversionOf(const CString& strPlaceholder, const CString& strDefault)
{
    CString strCharset;
    return GetCustomCharset(strCharset, strPlaceholder) ? "%[" + strCharset + "]" : strDefault;
}

CString ColumnTitle(const CString& strName, const CString& strStartTag, const CString& strEndTag)
{
    CEditableString w(strName);
    CString strCharset;
    if (GetCustomCharset(strCharset, strName))
        w.ReplaceAll(kCharsetStart + strCharset + kCharsetEnd, "", true);
    w.ReplaceAll(strStartTag, "", true);
    w.ReplaceAll(strEndTag, "", true);
    return w.m_str;
}

} // namespace placeholder
