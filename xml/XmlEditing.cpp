// The editing operations: each one rewrites the text in place and then
// corrects the records, so that text and records agree after every call.
#include "XmlDocument.h"

#include "framework/Memory.h"

#include <algorithm>
#include <cstring>

using xml::XML_ELEMENT;
using xml::XML_TOKEN;

namespace {

const char* OrEmpty(const char* psz) { return psz != nullptr ? psz : ""; }

// Whether a text of nLength bytes may change by nShift and stay within
// what 32-bit offsets describe.
bool FitsText(size_t nLength, int64_t nShift)
{
    return static_cast<int64_t>(nLength) + nShift <= xml::kMaxText;
}

} // namespace

bool CXmlDocument::HasRootElement() const
{
    return m_nElemCapacity > 0 && Elem(0).iFirstChild != 0;
}

bool CXmlDocument::AddElement(const char* pszName) { return InsertElement(pszName, false); }

bool CXmlDocument::AddChildElement(const char* pszName) { return InsertElement(pszName, true); }

bool CXmlDocument::EnterElement()
{
    if (m_iCurElem == 0)
        return false;
    m_iParentElem = m_iCurElem;
    m_iCurElem = m_iChildElem;
    m_iChildElem = 0;
    return true;
}

bool CXmlDocument::SetAttribute(const char* pszName, const char* pszValue)
{
    return SetAttributeAt(m_iCurElem, pszName, pszValue);
}

bool CXmlDocument::SetChildAttribute(const char* pszName, const char* pszValue)
{
    return SetAttributeAt(m_iChildElem, pszName, pszValue);
}

// An insertion as decided before anything changes.
struct CXmlDocument::CInsertPlan
{
    int32_t iParent = 0;
    int32_t iAfter = 0;        // the element the new one follows; 0: it goes last
    bool bEmptyParent = false; // the parent is an empty element, which gains its end tag
    bool bBare = false;        // the parent's tags enclose nothing
    size_t nName = 0;          // the length of the new element's name
    size_t nParentName = 0;    // with bEmptyParent: the length of the parent's name
    CString strInsert;
    int32_t nReplaced = 0; // bytes of the text that strInsert replaces
};

bool CXmlDocument::InsertElement(const char* pszName, bool bChild)
{
    CInsertPlan plan;
    if (!PlanInsert(OrEmpty(pszName), bChild, plan))
        return false;
    const int32_t i = ApplyInsert(plan);
    if (bChild) {
        m_iCurElem = plan.iParent;
        m_iChildElem = i;
    } else {
        m_iParentElem = plan.iParent;
        m_iCurElem = i;
        m_iChildElem = 0;
    }
    return true;
}

bool CXmlDocument::PlanInsert(const char* pszName, bool bChild, CInsertPlan& plan) const
{
    if (bChild) {
        if (m_iCurElem == 0)
            return false;
        plan.iParent = m_iCurElem;
        plan.iAfter = m_iChildElem;
    } else {
        if (m_iParentElem == 0 && HasRootElement())
            return false;
        plan.iParent = m_iParentElem;
        plan.iAfter = m_iCurElem;
    }

    const XML_ELEMENT& parent = Elem(plan.iParent);
    plan.bEmptyParent = parent.cbEndTag == 0;
    plan.bBare = plan.iParent != 0 &&
        parent.nSize - static_cast<int32_t>(parent.cbStartTag + parent.cbEndTag) == 0;

    // Everything that can refuse the edit is decided here: the packed
    // fields of the new record and of a parent that gains its end tag, and
    // the length of the text.
    plan.nName = std::strlen(pszName);
    if (plan.nName + 3 > static_cast<size_t>(xml::kMaxStartTag))
        return false;
    if (plan.iParent != 0 && static_cast<int32_t>(parent.nDepth) + 1 > xml::kMaxDepth)
        return false;
    CString strParentName;
    if (plan.bEmptyParent) {
        strParentName = GetElementName(plan.iParent);
        if (strParentName.size() + 3 > static_cast<size_t>(xml::kMaxEndTag))
            return false;
        plan.nParentName = strParentName.size();
    }
    CString& strInsert = plan.strInsert;
    strInsert.reserve(plan.nName + strParentName.size() + 12);
    if (plan.bEmptyParent)
        strInsert += ">\r\n";
    else if (plan.bBare)
        strInsert += "\r\n";
    strInsert += '<';
    strInsert.append(pszName, plan.nName);
    strInsert += "/>\r\n";
    if (plan.bEmptyParent) {
        strInsert += "</";
        strInsert += strParentName;
    }
    plan.nReplaced = plan.bEmptyParent ? 1 : 0;
    return FitsText(m_strXml.size(), static_cast<int64_t>(strInsert.size()) - plan.nReplaced);
}

int32_t CXmlDocument::ApplyInsert(const CInsertPlan& plan)
{
    // A new root element: record 0 keeps the text's length from now on.
    if (plan.iParent == 0)
        Elem(0).nSize = static_cast<int32_t>(m_strXml.size());

    int32_t nOffset = 0;
    int32_t iSibling = 0;
    FindInsertPoint(plan.iParent, plan.iAfter, nOffset, iSibling);
    if (plan.bEmptyParent || plan.bBare)
        nOffset += 2; // behind the CR LF that goes in front of the element

    if (m_iNextFree == m_nElemCapacity)
        GrowElements(0);
    const int32_t i = m_iNextFree++;
    XML_ELEMENT& elem = Elem(i);
    elem.nOffset = nOffset;
    elem.iFirstChild = 0;
    LinkElement(plan.iParent, iSibling, i);
    elem.cbStartTag = static_cast<uint32_t>(plan.nName + 3);
    elem.cbEndTag = 0;
    elem.nSize = static_cast<int32_t>(plan.nName + 3);

    int32_t nAt = nOffset;
    XML_ELEMENT& parent = Elem(plan.iParent);
    if (plan.bEmptyParent) {
        // The "/" of the parent's "/>" makes way for ">", the new child and
        // the parent's end tag, whose ">" is the one that closed "/>".
        nAt = parent.nOffset + static_cast<int32_t>(parent.cbStartTag) - 2;
        parent.cbStartTag -= 1;
        parent.cbEndTag = static_cast<uint32_t>(plan.nParentName + 3);
    } else if (plan.bBare) {
        nAt = parent.nOffset + static_cast<int32_t>(parent.cbStartTag);
    }
    ReplaceText(nAt, plan.nReplaced, plan.strInsert);
    ShiftFollowing(i, static_cast<int32_t>(plan.strInsert.size()) - plan.nReplaced);
    return i;
}

void CXmlDocument::FindInsertPoint(int32_t iParent, int32_t iAfter, int32_t& nOffset,
                                   int32_t& iSibling) const
{
    const XML_ELEMENT& parent = Elem(iParent);
    const bool bEmptyParent = parent.cbEndTag == 0;
    if (iAfter != 0) {
        const XML_ELEMENT& after = Elem(iAfter);
        nOffset = after.nOffset + after.nSize;
    } else if (iParent == 0) {
        nOffset = static_cast<int32_t>(m_strXml.size());
    } else if (bEmptyParent) {
        nOffset = parent.nOffset + static_cast<int32_t>(parent.cbStartTag) - 1;
    } else {
        nOffset = parent.nOffset + parent.nSize - static_cast<int32_t>(parent.cbEndTag);
    }
    if (!bEmptyParent) {
        // Step over the line break after the element before, but not over
        // white space that leads into text.
        int32_t nPos = nOffset;
        const char* const psz = m_strXml.c_str();
        if (!xml::SkipSpace(psz, nPos) || psz[nPos] == '<')
            nOffset = nPos;
    }
    if (iAfter != 0)
        iSibling = iAfter;
    else if (parent.iFirstChild != 0)
        iSibling = Elem(parent.iFirstChild).iPrevSibling;
    else
        iSibling = 0;
}

void CXmlDocument::LinkElement(int32_t iParent, int32_t iAfter, int32_t i)
{
    XML_ELEMENT& elem = Elem(i);
    XML_ELEMENT& parent = Elem(iParent);
    elem.iParent = iParent;
    if (iAfter != 0) {
        XML_ELEMENT& after = Elem(iAfter);
        elem.wFlags = 0;
        elem.iNextSibling = after.iNextSibling;
        if (elem.iNextSibling != 0)
            Elem(elem.iNextSibling).iPrevSibling = i;
        else
            Elem(parent.iFirstChild).iPrevSibling = i;
        after.iNextSibling = i;
        elem.iPrevSibling = iAfter;
    } else {
        elem.wFlags = xml::XEF_FIRSTCHILD;
        const int32_t iFirst = parent.iFirstChild;
        if (iFirst != 0) {
            XML_ELEMENT& first = Elem(iFirst);
            elem.iNextSibling = iFirst;
            elem.iPrevSibling = first.iPrevSibling;
            first.iPrevSibling = i;
            first.wFlags &= ~xml::XEF_FIRSTCHILD;
        } else {
            elem.iNextSibling = 0;
            elem.iPrevSibling = i;
        }
        parent.iFirstChild = i;
    }
    elem.nDepth = iParent != 0 ? parent.nDepth + 1 : 0;
}

void CXmlDocument::ReplaceText(int32_t nOffset, int32_t nCount, const CString& strInsert)
{
    const size_t nNew = m_strXml.size() - static_cast<size_t>(nCount) + strInsert.size();
    // Growing by half again keeps a long run of appends linear.
    if (nNew > m_strXml.capacity())
        mem::ReserveLarge(m_strXml, std::max(nNew + nNew / 2 + 128, nNew));
    m_strXml.replace(static_cast<size_t>(nOffset), static_cast<size_t>(nCount), strInsert);
}

void CXmlDocument::ShiftFollowing(int32_t i, int32_t nShift)
{
    if (nShift == 0)
        return;
    // The next sibling of iPos, or of its nearest ancestor below iTop that
    // has one; iTop when there is none.
    const auto nextOrClimb = [this](int32_t iPos, int32_t iTop) {
        for (int32_t x = iPos;;) {
            const XML_ELEMENT& elem = Elem(x);
            if (elem.iNextSibling != 0)
                return elem.iNextSibling;
            if (elem.iParent == iTop || elem.iParent == 0)
                return iTop;
            x = elem.iParent;
        }
    };
    // Document order without recursion: iTop is the innermost ancestor of
    // i not yet left; reaching it means every element after i inside it
    // has been moved, so it grows and the walk goes on above it.
    int32_t iTop = Elem(i).iParent;
    int32_t iPos = i;
    for (;;) {
        int32_t iNext = 0;
        if (iPos == iTop) {
            iTop = Elem(iTop).iParent;
            iNext = nextOrClimb(iPos, iTop);
        } else if (Elem(iPos).iFirstChild != 0) {
            iNext = Elem(iPos).iFirstChild;
        } else {
            iNext = nextOrClimb(iPos, iTop);
        }
        if (iNext == iTop)
            Elem(iNext).nSize += nShift;
        else
            Elem(iNext).nOffset += nShift;
        if (iNext == 0)
            return;
        iPos = iNext;
    }
}

int32_t CXmlDocument::ElementNameEnd(int32_t i) const
{
    const char* const psz = m_strXml.c_str();
    int32_t nPos = Elem(i).nOffset + 1;
    while (psz[nPos] != '\0' && !xml::IsXmlSpace(static_cast<unsigned char>(psz[nPos])) &&
           psz[nPos] != '/' && psz[nPos] != '>')
        ++nPos;
    return nPos;
}

CString CXmlDocument::GetElementName(int32_t i) const
{
    if (i == 0)
        return {};
    // The name as the scanner reads it, so that an end tag made from it
    // closes the element by the parser's own rule.
    const int32_t nStart = Elem(i).nOffset + 1;
    return m_strXml.substr(static_cast<size_t>(nStart),
                           static_cast<size_t>(ElementNameEnd(i) - nStart));
}

bool CXmlDocument::SetAttributeAt(int32_t iElem, const char* pszName, const char* pszValue)
{
    if (iElem == 0)
        return false;
    pszName = OrEmpty(pszName);
    pszValue = OrEmpty(pszValue);
    XML_ELEMENT& elem = Elem(iElem);
    // The ">" of a start tag, or the "/" of an empty element's "/>".
    const int32_t nTagEnd =
        elem.nOffset + static_cast<int32_t>(elem.cbStartTag) - (elem.cbEndTag != 0 ? 1 : 2);

    XML_TOKEN token;
    token.pszText = m_strXml.c_str();
    token.iNext = ElementNameEnd(iElem);
    CString strInsert;
    int32_t nAt = nTagEnd;
    int32_t nCount = 0;
    if (FindAttribute(token, pszName, nTagEnd)) {
        strInsert = EscapeMarkup(pszValue);
        nAt = token.iFirst;
        nCount = token.iLast - token.iFirst + 1;
    } else {
        const CString strValue = EscapeMarkup(pszValue);
        const size_t nName = std::strlen(pszName);
        strInsert.reserve(nName + strValue.size() + 4);
        strInsert += ' ';
        strInsert.append(pszName, nName);
        strInsert += "=\"";
        strInsert += strValue;
        strInsert += '"';
    }
    const int64_t nShift = static_cast<int64_t>(strInsert.size()) - nCount;
    if (static_cast<int64_t>(elem.cbStartTag) + nShift > xml::kMaxStartTag ||
        !FitsText(m_strXml.size(), nShift))
        return false;

    ReplaceText(nAt, nCount, strInsert);
    elem.cbStartTag = static_cast<uint32_t>(static_cast<int64_t>(elem.cbStartTag) + nShift);
    elem.nSize += static_cast<int32_t>(nShift);
    ShiftFollowing(iElem, static_cast<int32_t>(nShift));
    return true;
}

bool CXmlDocument::FindAttribute(XML_TOKEN& token, const char* pszName, int32_t nTagEnd) const
{
    const size_t nName = std::strlen(pszName);
    // The element name has been read already; it is token 0.
    int32_t nCount = 1;
    int32_t nFound = 0;
    while (xml::NextToken(token)) {
        // A token reaching past the tag's end belongs to no attribute of
        // this tag: a quote that the scanner took for a closing one can
        // open a quoted token here.
        if (token.iNext > nTagEnd)
            return false;
        const char* const pToken = token.pszText + token.iFirst;
        const size_t nToken = static_cast<size_t>(token.iLast - token.iFirst + 1);
        if (!token.bQuoted) {
            const char ch = *pToken;
            if (ch == '>' || ch == '/' || ch == '?')
                return false;
            if (ch != '=') {
                if (nName == 0)
                    return true;
                // Each name token starts the match afresh, so that a name
                // without a value does not hide the attribute after it.
                const bool bMatch = nToken <= nName && std::memcmp(pToken, pszName, nToken) == 0 &&
                    (nToken == nName || pszName[nToken] == ' ' || pszName[nToken] == '=' ||
                     pszName[nToken] == '/' || pszName[nToken] == '[');
                nFound = bMatch ? nCount : 0;
            }
        } else if (nFound != 0 && nCount == nFound + 2) {
            return true;
        }
        ++nCount;
    }
    return false;
}

CString CXmlDocument::EscapeMarkup(const char* pszValue)
{
    pszValue = OrEmpty(pszValue);
    const size_t nLength = std::strlen(pszValue);
    CString strResult;
    strResult.reserve(nLength + nLength / 10 + 7);
    for (const char* p = pszValue; *p != '\0'; ++p) {
        switch (*p) {
        case '<':
            strResult += "&lt;";
            break;
        case '&':
            strResult += "&amp;";
            break;
        case '>':
            strResult += "&gt;";
            break;
        case '\'':
            strResult += "&apos;";
            break;
        case '"':
            strResult += "&quot;";
            break;
        default:
            strResult += *p;
            break;
        }
    }
    return strResult;
}
