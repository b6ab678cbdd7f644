// Storage of the element records and the parser that builds them.
#include "XmlDocument.h"

#include <algorithm>
#include <cstring>
#include <string>

using xml::XML_ELEMENT;
using xml::XML_NODE;
using xml::XML_TOKEN;

CXmlDocument::CXmlDocument() { SetText(nullptr); }

CXmlDocument::~CXmlDocument() = default;

void CXmlDocument::GrowElements(int32_t nWanted)
{
    int64_t nWant = nWanted == 0 ? m_iNextFree + m_iNextFree / 2 : nWanted;
    if (m_nElemCapacity >= nWant)
        return;
    const int32_t nLast = m_nElemCapacity > 0 ? (m_nElemCapacity - 1) >> 16 : 0;
    int32_t nTarget = static_cast<int32_t>((nWant - 1) >> 16);
    if (nTarget > nLast + 1) {
        // One segment per call keeps every step small; callers that need
        // more call again as they fill the records.
        nTarget = nLast + 1;
        nWant = static_cast<int64_t>(nLast + 2) * kSegmentRecords;
    }
    if (m_nSegSlots <= nTarget) {
        const int32_t nSlots = 2 * nTarget + 4;
        auto ppTable =
            std::make_unique<std::unique_ptr<XML_ELEMENT[]>[]>(static_cast<size_t>(nSlots));
        const int32_t nExisting = m_nElemCapacity > 0 ? ((m_nElemCapacity - 1) >> 16) + 1 : 0;
        for (int32_t i = 0; i < nExisting; ++i)
            ppTable[i] = std::move(m_ppSegments[i]);
        m_ppSegments = std::move(ppTable);
        m_nSegSlots = nSlots;
    }
    // Records beyond m_iNextFree hold nothing yet, so only those in use are
    // copied when a segment is replaced.
    const int32_t nUsed = m_nElemCapacity - nLast * kSegmentRecords;
    const int32_t nInUse = std::clamp(m_iNextFree - nLast * kSegmentRecords, 0, std::max(nUsed, 0));
    if (nLast < nTarget && nUsed < kSegmentRecords) {
        std::unique_ptr<XML_ELEMENT[]> pFull(new XML_ELEMENT[kSegmentRecords]);
        if (nInUse > 0)
            std::copy_n(m_ppSegments[nLast].get(), nInUse, pFull.get());
        m_ppSegments[nLast] = std::move(pFull);
    }
    const int64_t nInTarget = nWant - static_cast<int64_t>(nTarget) * kSegmentRecords;
    std::unique_ptr<XML_ELEMENT[]> pSegment(new XML_ELEMENT[static_cast<size_t>(nInTarget)]);
    if (nTarget == nLast && nInUse > 0)
        std::copy_n(m_ppSegments[nLast].get(), nInUse, pSegment.get());
    m_ppSegments[nTarget] = std::move(pSegment);
    m_nElemCapacity = static_cast<int32_t>(nWant);
}

void CXmlDocument::ResetPosition()
{
    m_iParentElem = 0;
    m_iCurElem = 0;
    m_iChildElem = 0;
}

void CXmlDocument::ClearDocumentRecord()
{
    XML_ELEMENT& doc = Elem(0);
    doc = XML_ELEMENT{};
    doc.cbEndTag = 1;
}

CString CXmlDocument::TakeText()
{
    CString strText = std::move(m_strXml);
    SetText(nullptr);
    return strText;
}

bool CXmlDocument::SetText(const char* pszText)
{
    m_strXml = pszText != nullptr ? pszText : "";
    m_strParseError.clear();
    return ParseText();
}

bool CXmlDocument::ParseText()
{
    ResetPosition();
    m_iNextFree = 1;
    const size_t nLength = m_strXml.size();
    GrowElements(static_cast<int32_t>(std::min<size_t>(nLength, xml::kMaxText) / 64 + 8));
    m_strParseError.clear();

    bool bOk = false;
    if (nLength == 0) {
        m_strParseError = "Empty document";
    } else if (nLength > static_cast<size_t>(xml::kMaxText)) {
        m_strParseError = "Document of " + std::to_string(nLength) + " bytes is longer than " +
            std::to_string(xml::kMaxText) + " bytes";
    } else {
        XML_TOKEN token;
        token.pszText = m_strXml.c_str();
        ClearDocumentRecord();
        const int32_t iRoot = ParseElements(token);
        if (iRoot > 0) {
            Elem(0).iFirstChild = iRoot;
            Elem(0).nSize = static_cast<int32_t>(nLength);
            bOk = true;
        }
    }
    if (!bOk) {
        // Records of a partial parse are dropped: the document then holds
        // its text and nothing else.
        ClearDocumentRecord();
        m_iNextFree = 1;
    }
    ResetPosition();
    return bOk;
}

namespace {

// An end tag closes a start tag when its name is the start tag's name, or
// the part of it before a space, "=", "/" or "[".
bool EndTagMatches(const char* pEnd, size_t nEnd, const CString& strStart)
{
    if (nEnd > strStart.size() || std::memcmp(pEnd, strStart.data(), nEnd) != 0)
        return false;
    if (nEnd == strStart.size())
        return true;
    const char ch = strStart[nEnd];
    return ch == ' ' || ch == '=' || ch == '/' || ch == '[';
}

CString AtOffset(int32_t nOffset) { return " at offset " + std::to_string(nOffset); }

} // namespace

int32_t CXmlDocument::ParseElements(XML_TOKEN& token)
{
    token.iNext = 0;
    // The open start tags, innermost last; the entry at nTop receives each
    // new node. Nesting costs entries here, never recursion.
    std::vector<XML_NODE> stack(6);
    size_t nTop = 0;
    int32_t nOpen = 0;
    int32_t nLevel = 0;
    int32_t iRoot = 0;
    int32_t iCur = 0;

    const auto fail = [this](CString strMessage) {
        m_strParseError = std::move(strMessage);
        return -1;
    };

    for (;;) {
        XML_NODE& node = stack[nTop];
        switch (xml::ScanNode(token, node)) {
        case xml::XNK_ELEMENT: {
            if (m_iNextFree == m_nElemCapacity)
                GrowElements(0);
            const int32_t i = m_iNextFree++;
            if (iRoot == 0)
                iRoot = i;
            else if (nOpen == 0)
                return fail("Element '" + node.strName + "'" + AtOffset(node.nOffset) +
                            " is sibling to root");
            // The packed record fields bound what a text may hold; a text
            // beyond them is refused rather than indexed wrongly.
            if (node.nSize > xml::kMaxStartTag)
                return fail("Start tag of element '" + node.strName + "'" + AtOffset(node.nOffset) +
                            " is longer than " + std::to_string(xml::kMaxStartTag) + " bytes");
            if (nLevel > xml::kMaxDepth)
                return fail("Element '" + node.strName + "'" + AtOffset(node.nOffset) +
                            " is nested deeper than " + std::to_string(xml::kMaxDepth) + " levels");

            XML_ELEMENT& elem = Elem(i);
            elem.iParent = iCur;
            elem.iFirstChild = 0;
            elem.iNextSibling = 0;
            XML_ELEMENT& parent = Elem(iCur);
            if (parent.iFirstChild == 0) {
                parent.iFirstChild = i;
                elem.iPrevSibling = i;
                elem.wFlags = xml::XEF_FIRSTCHILD;
            } else {
                XML_ELEMENT& first = Elem(parent.iFirstChild);
                Elem(first.iPrevSibling).iNextSibling = i;
                elem.iPrevSibling = first.iPrevSibling;
                first.iPrevSibling = i;
                elem.wFlags = 0;
            }
            elem.nDepth = static_cast<uint32_t>(nLevel);
            elem.nOffset = node.nOffset;
            elem.cbStartTag = static_cast<uint32_t>(node.nSize);
            if (node.bEmptyTag) {
                elem.nSize = node.nSize;
                elem.cbEndTag = 0;
            } else {
                ++nOpen;
                ++nLevel;
                ++nTop;
                if (nTop == stack.size())
                    stack.resize(2 * stack.size() + 6);
                iCur = i;
            }
            break;
        }
        case xml::XNK_END_TAG: {
            const CString strEndName = xml::GetTokenText(token);
            if (nTop == 0)
                return fail("No start tag for end tag '" + strEndName + "'" +
                            AtOffset(node.nOffset));
            const int32_t nEndOffset = node.nOffset;
            const int32_t nEndSize = node.nSize;
            --nTop;
            const XML_NODE& start = stack[nTop];
            XML_ELEMENT& cur = Elem(iCur);
            if (!EndTagMatches(strEndName.data(), strEndName.size(), start.strName))
                return fail("End tag '" + strEndName + "'" + AtOffset(token.iFirst - 1) +
                            " does not match start tag '" + start.strName + "'" +
                            AtOffset(cur.nOffset));
            if (nEndSize > xml::kMaxEndTag)
                return fail("End tag '" + strEndName + "'" + AtOffset(nEndOffset) +
                            " is longer than " + std::to_string(xml::kMaxEndTag) + " bytes");
            cur.nSize = nEndOffset + nEndSize - cur.nOffset;
            cur.cbEndTag = static_cast<uint32_t>(nEndSize);
            iCur = cur.iParent;
            --nOpen;
            --nLevel;
            break;
        }
        case xml::XNK_BAD:
            return fail(node.strName);
        case xml::XNK_END_OF_TEXT:
            if (nOpen > 0) {
                const XML_NODE& open = stack[nTop - 1];
                return fail("Element '" + open.strName + "'" + AtOffset(open.nOffset) +
                            " not ended");
            }
            if (iRoot == 0)
                m_strParseError = "Root element not found";
            return iRoot;
        default:
            // Text, white space, CDATA, processing instructions, comments
            // and the document type are passed over.
            break;
        }
    }
}
