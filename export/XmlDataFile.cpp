#include "XmlDataFile.h"

#include "engine/EditableString.h"
#include "framework/Clock.h"
#include "framework/ListCtrl.h"
#include "framework/ProductInfo.h"
#include "framework/StringUtil.h"

#include <algorithm>
#include <ctime>
#include <iterator>
#include <string>
#include <utility>

namespace {

// The program version as the file-information block states it.
constexpr int kVersion[4] = {2, 5, 0, 0};

struct CCharRange
{
    char32_t lo;
    char32_t hi;
};

#include "XmlNameTable.inc"

template <size_t N>
bool InRanges(const CCharRange (&ranges)[N], char32_t ch)
{
    const CCharRange* p =
        std::upper_bound(std::begin(ranges), std::end(ranges), ch,
                         [](char32_t c, const CCharRange& r) { return c < r.lo; });
    return p != std::begin(ranges) && ch <= (p - 1)->hi;
}

// Names here are those that every XML reader takes: the rules of XML 1.0
// (fifth edition, as libxml2 reads them) where the older rules that expat
// follows agree, and without the colon, which would ask a namespace-aware
// reader for a prefix the file never declares.
bool IsNameStartChar(char32_t ch)
{
    if (ch < 0x80)
        return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || ch == '_';
    return InRanges(kNameStartRanges, ch);
}

bool IsNameChar(char32_t ch)
{
    if (ch < 0x80)
        return IsNameStartChar(ch) || ch == '-' || ch == '.' || (ch >= '0' && ch <= '9');
    return InRanges(kNameRanges, ch);
}

// The local time formatted into the 128-byte buffer the value has always
// had; empty when the conversion or the formatting fails.
CString CreatedTime(std::time_t tNow)
{
    std::tm local{};
    if (!platform::ToLocalTime(tNow, local))
        return {};
    char buffer[128];
    const size_t nLength = std::strftime(buffer, sizeof buffer, "%m/%d/%Y %H:%M:%S", &local);
    return CString(buffer, nLength);
}

} // namespace

CString XmlAttributeName(std::string_view strTitle)
{
    CString strName =
        str::Trim(strTitle.substr(0, static_cast<size_t>(CListCtrl::kTextBuffer - 1)));
    str::ReplaceAll(strName, " ", "_");

    CString strResult;
    strResult.reserve(strName.size() + 1);
    bool bFirst = true;
    bool bNeedsLead = false;
    for (size_t nPos = 0; nPos < strName.size();) {
        size_t nLength = 0;
        const char32_t ch = str::DecodeUtf8(strName, nPos, nLength);
        if (nLength == 0) {
            // Not part of a well-formed character: no name can hold it.
            strResult += '_';
            ++nPos;
            bFirst = false;
            continue;
        }
        if (IsNameChar(ch)) {
            if (bFirst && !IsNameStartChar(ch))
                bNeedsLead = true;
            strResult.append(strName, nPos, nLength);
        } else {
            strResult.append(nLength, '_');
        }
        nPos += nLength;
        bFirst = false;
    }
    // "xmlns" alone would declare the default namespace instead of naming
    // a cell.
    if (strResult.empty() || bNeedsLead || strResult == "xmlns")
        strResult.insert(strResult.begin(), '_');
    return strResult;
}

CString XmlAttributeValue(std::string_view strCell)
{
    CEditableString value(
        CString(strCell.substr(0, static_cast<size_t>(CListCtrl::kTextBuffer - 1))));
    value.BlankNonPrintable();
    // U+FFFE and U+FFFF are well-formed UTF-8 but no XML character.
    str::ReplaceAll(value.m_str, "\xEF\xBF\xBE", "   ");
    str::ReplaceAll(value.m_str, "\xEF\xBF\xBF", "   ");
    return str::Trim(value.m_str);
}

bool CXmlDataFile::InitDocument(const char* pszRootName)
{
    const CString strCreated = CreatedTime(platform::CurrentTime());
    const CString strVersion = std::to_string(kVersion[0]) + "." + std::to_string(kVersion[1]) +
        "." + std::to_string(kVersion[2]) + "." + std::to_string(kVersion[3]);

    // The declaration alone holds no element, so this parse fails with
    // "Root element not found"; the document is built on top of it.
    const bool bParsed = m_doc.SetText("<?xml version=\"1.0\"?>\r\n");
    m_doc.AddElement(pszRootName);

    const std::pair<const char*, CString> info[] = {
        {"version", strVersion},
        {"vendor", product::kVendor},
        {"url", CString(product::kMakerUrl) + product::kXmlQuery},
        {"mail", product::kSupportMail},
        {"created", strCreated},
        {"comments", "Vessock Database File"},
    };
    for (const auto& [pszName, strValue] : info) {
        CEditableString value(strValue);
        value.BlankNonPrintable();
        m_doc.SetAttribute(pszName, value.m_str.c_str());
    }
    return bParsed;
}
