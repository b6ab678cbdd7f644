#include "EditableString.h"

#include "PlaceholderScan.h"
#include "framework/StringUtil.h"

CEditableString& CEditableString::Insert(int nPos, std::string_view lpsz)
{
    if (lpsz.empty() || nPos < 0)
        return *this;
    const auto nAt = static_cast<size_t>(nPos);
    if (nAt >= m_str.size()) {
        m_str.append(nAt - m_str.size(), ' ');
        m_str.append(lpsz);
    } else {
        m_str.insert(nAt, lpsz);
    }
    return *this;
}

CEditableString& CEditableString::Delete(int nPos, int nCount)
{
    if (nPos < 0)
        return *this;
    const auto nAt = static_cast<size_t>(nPos);
    if (nAt >= m_str.size())
        return *this;
    if (nCount < 0 || nAt + static_cast<size_t>(nCount) > m_str.size())
        m_str.erase(nAt);
    else
        m_str.erase(nAt, static_cast<size_t>(nCount));
    return *this;
}

CEditableString& CEditableString::ReplaceAt(int nPos, int nCount, std::string_view lpsz)
{
    Delete(nPos, nCount);
    return Insert(nPos, lpsz);
}

int CEditableString::Find(std::string_view lpsz, int nStart) const
{
    if (nStart < 0 || static_cast<size_t>(nStart) > m_str.size())
        return -1;
    const size_t nPos = m_str.find(lpsz, static_cast<size_t>(nStart));
    return nPos == CString::npos ? -1 : static_cast<int>(nPos);
}

int CEditableString::ReplaceAll(std::string_view lpszOld, std::string_view lpszNew, bool bAll)
{
    if (lpszOld.empty())
        return 0;
    if (bAll)
        return str::ReplaceAll(m_str, lpszOld, lpszNew);
    const size_t nPos = m_str.find(lpszOld);
    if (nPos == CString::npos)
        return 0;
    m_str.replace(nPos, lpszOld.size(), lpszNew);
    return 1;
}

bool CEditableString::ExtractBetween(CString& strOut, const CString& strStart,
                                     const CString& strEnd) const
{
    const int p = Find(strStart, 0);
    const int q = Find(strEnd, 0);
    if (p == -1 || q - p <= 0)
        return false;
    strOut = m_str.substr(static_cast<size_t>(p), static_cast<size_t>(q - p) + strEnd.size());
    return true;
}

CEditableString CEditableString::ExtractAll(CStringArray& arrOut, const CString& strStart,
                                            const CString& strEnd, const CString& strMarker) const
{
    CPlaceholderScan scan;
    if (ScanPlaceholders(m_str, strStart, strEnd, strMarker, scan)) {
        for (const CPlaceholderScan::CFound& found : scan.found)
            arrOut.Add(m_str.substr(found.nPos, found.nLength));
        return CEditableString(std::move(scan.strWorking));
    }
    // The rounds as written, for texts the scan cannot tell.
    CEditableString w(m_str);
    CString ph;
    // Every round replaces a placeholder that is present, so a text yields
    // at most one placeholder per byte. A round that finds a text it has
    // already taken out means the marker formed it again: stop there.
    const size_t nFirst = static_cast<size_t>(arrOut.GetSize());
    size_t nRounds = 0;
    while (w.ExtractBetween(ph, strStart, strEnd)) {
        bool bSeen = false;
        for (int i = static_cast<int>(nFirst); i < arrOut.GetSize() && !bSeen; ++i)
            bSeen = arrOut[i] == ph;
        if (bSeen || ++nRounds > m_str.size() + 1)
            break;
        arrOut.Add(ph);
        w.ReplaceAll(ph, strMarker, true);
    }
    return w;
}

const char* CEditableString::BlankNonPrintable()
{
    str::BlankControlAndInvalid(m_str);
    return m_str.c_str();
}
