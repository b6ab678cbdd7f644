#include "LineArray.h"

#include "EditableString.h"
#include "TextFileReader.h"

#include <string_view>
#include <unordered_set>

int CLineArray::Split(const CString& strText, const CString& lpszSep)
{
    if (lpszSep.empty()) {
        Add(strText);
        return 1;
    }
    const size_t nSkip = strText.find_first_not_of(lpszSep);
    const std::string_view w =
        nSkip == CString::npos ? std::string_view() : std::string_view(strText).substr(nSkip);
    // The separator that the algorithm appends is implied: the text after
    // the last separator is always one more piece.
    int nCount = 0;
    size_t nStart = 0;
    for (;;) {
        const size_t nPos = w.find(lpszSep, nStart);
        if (nPos == std::string_view::npos) {
            Add(CString(w.substr(nStart)));
            ++nCount;
            break;
        }
        Add(CString(w.substr(nStart, nPos - nStart)));
        ++nCount;
        nStart = nPos + lpszSep.size();
    }
    return nCount;
}

int CLineArray::CollectPlaceholders(CStringArray& arrOut, const CString& strStart,
                                    const CString& strEnd, const CString& strMarker) const
{
    const int nBefore = arrOut.GetSize();
    for (const CString& line : *this) {
        CEditableString item(line);
        item.ExtractAll(arrOut, strStart, strEnd, strMarker);
    }
    return arrOut.GetSize() - nBefore;
}

void CLineArray::RemoveDuplicates()
{
    std::unordered_set<std::string_view> seen;
    CLineArray kept;
    kept.Reserve(GetSize());
    for (const CString& item : *this) {
        if (seen.insert(item).second)
            kept.Add(item);
    }
    *this = std::move(kept);
}

CString CLineArray::Join(const CString& lpszSep) const
{
    size_t nTotal = 0;
    for (const CString& item : *this)
        nTotal += item.size() + lpszSep.size();
    CString result;
    result.reserve(nTotal);
    for (const CString& item : *this) {
        result.append(item);
        result.append(lpszSep);
    }
    return result;
}

bool CLineArray::LoadFromFile(const CString& strPath, const CString& lpszSep, CString* pError)
{
    CTextFileReader reader(strPath);
    CString text;
    const bool bRead = reader.ReadAll(text, "\r\n");
    if (bRead)
        Split(text, lpszSep);
    else if (pError != nullptr)
        *pError = reader.GetError();
    reader.Close();
    return bRead;
}

bool CLineArray::LoadJoined(const CString& strPath, const CString& lpszSep, CString& strText,
                            CString* pError)
{
    CTextFileReader reader(strPath);
    CString text;
    if (!reader.ReadAll(text, "\r\n")) {
        if (pError != nullptr)
            *pError = reader.GetError();
        return false;
    }
    reader.Close();
    if (!lpszSep.empty()) {
        const size_t nSkip = text.find_first_not_of(lpszSep);
        text.erase(0, nSkip == CString::npos ? text.size() : nSkip);
        text.append(lpszSep);
    }
    strText.swap(text);
    return true;
}
