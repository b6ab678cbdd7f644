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

// Whether the start tag in node may open an element nDepth levels down;
// when not, strError says why: bAfterRoot, it comes after the root element
// has closed, or the packed record fields cannot hold it (a text beyond them
// is refused rather than indexed wrongly).
bool StartTagFits(const XML_NODE& node, bool bAfterRoot, size_t nDepth, CString& strError)
{
    if (bAfterRoot)
        strError =
            "Element '" + node.strName + "'" + AtOffset(node.nOffset) + " is sibling to root";
    else if (node.nSize > xml::kMaxStartTag)
        strError = "Start tag of element '" + node.strName + "'" + AtOffset(node.nOffset) +
            " is longer than " + std::to_string(xml::kMaxStartTag) + " bytes";
    else if (nDepth > static_cast<size_t>(xml::kMaxDepth))
        strError = "Element '" + node.strName + "'" + AtOffset(node.nOffset) +
            " is nested deeper than " + std::to_string(xml::kMaxDepth) + " levels";
    else
        return true;
    return false;
}

// Whether the end tag in node, whose name strEnd the cursor has just read,
// closes the element that the start tag pStart opened (null: no element is
// open); when not, strError says why.
bool EndTagFits(const CString& strEnd, const XML_TOKEN& token, const XML_NODE& node,
                const XML_NODE* pStart, CString& strError)
{
    if (pStart == nullptr)
        strError = "No start tag for end tag '" + strEnd + "'" + AtOffset(node.nOffset);
    else if (!EndTagMatches(strEnd.data(), strEnd.size(), pStart->strName))
        strError = "End tag '" + strEnd + "'" + AtOffset(token.iFirst - 1) +
            " does not match start tag '" + pStart->strName + "'" + AtOffset(pStart->nOffset);
    else if (node.nSize > xml::kMaxEndTag)
        strError = "End tag '" + strEnd + "'" + AtOffset(node.nOffset) + " is longer than " +
            std::to_string(xml::kMaxEndTag) + " bytes";
    else
        return true;
    return false;
}

} // namespace

// One run of ParseElements: the open elements, and a step for each kind of
// tag. The steps are inline, so that the compiler may fold them into the
// loop.
class CXmlDocument::CParser
{
public:
    explicit CParser(CXmlDocument& doc) : m_doc(doc) {}

    // The record that the next scan fills: the stack entry above the open
    // elements' start tags.
    XML_NODE& NextNode() { return m_stack[m_nOpen]; }
    // The start tag in node gets the next record, linked as the last child
    // of the innermost open element; unless it is an empty-element tag, it
    // becomes the innermost open element. False, with the parse error set,
    // when it cannot stand there.
    bool OpenElement(const XML_NODE& node);
    // The end tag in node, whose name the cursor holds, closes the innermost
    // open element. False, with the parse error set, when it cannot.
    bool CloseElement(const XML_TOKEN& token, const XML_NODE& node);
    // What ParseElements returns when the text has ended.
    int32_t EndOfText();

private:
    void LinkLastChild(int32_t i);

    CXmlDocument& m_doc;
    // The start tags of the open elements, innermost last, and the entry
    // that receives the next node. Nesting costs entries here, never
    // recursion.
    std::vector<XML_NODE> m_stack = std::vector<XML_NODE>(6);
    size_t m_nOpen = 0; // open elements, which is also the depth of the next one
    int32_t m_iRoot = 0;
    int32_t m_iCur = 0; // the innermost open element; 0 is the document
};

inline bool CXmlDocument::CParser::OpenElement(const XML_NODE& node)
{
    if (m_doc.m_iNextFree == m_doc.m_nElemCapacity)
        m_doc.GrowElements(0);
    const int32_t i = m_doc.m_iNextFree++;
    const bool bAfterRoot = m_iRoot != 0 && m_nOpen == 0;
    if (m_iRoot == 0)
        m_iRoot = i;
    if (!StartTagFits(node, bAfterRoot, m_nOpen, m_doc.m_strParseError))
        return false;

    LinkLastChild(i);
    XML_ELEMENT& elem = m_doc.Elem(i);
    elem.nDepth = static_cast<uint32_t>(m_nOpen);
    elem.nOffset = node.nOffset;
    elem.cbStartTag = static_cast<uint32_t>(node.nSize);
    if (node.bEmptyTag) {
        elem.nSize = node.nSize;
        elem.cbEndTag = 0;
        return true;
    }
    // Its size and end tag wait for CloseElement. node is not used past
    // this point: growing the stack moves the entries.
    ++m_nOpen;
    if (m_nOpen == m_stack.size())
        m_stack.resize(2 * m_stack.size() + 6);
    m_iCur = i;
    return true;
}

// The new record i becomes the last child of the innermost open element.
inline void CXmlDocument::CParser::LinkLastChild(int32_t i)
{
    XML_ELEMENT& elem = m_doc.Elem(i);
    elem.iParent = m_iCur;
    elem.iFirstChild = 0;
    elem.iNextSibling = 0;
    XML_ELEMENT& parent = m_doc.Elem(m_iCur);
    if (parent.iFirstChild == 0) {
        parent.iFirstChild = i;
        elem.iPrevSibling = i;
        elem.wFlags = xml::XEF_FIRSTCHILD;
    } else {
        XML_ELEMENT& first = m_doc.Elem(parent.iFirstChild);
        m_doc.Elem(first.iPrevSibling).iNextSibling = i;
        elem.iPrevSibling = first.iPrevSibling;
        first.iPrevSibling = i;
        elem.wFlags = 0;
    }
}

inline bool CXmlDocument::CParser::CloseElement(const XML_TOKEN& token, const XML_NODE& node)
{
    const CString strEndName = xml::GetTokenText(token);
    const XML_NODE* pStart = m_nOpen > 0 ? &m_stack[m_nOpen - 1] : nullptr;
    if (!EndTagFits(strEndName, token, node, pStart, m_doc.m_strParseError))
        return false;
    XML_ELEMENT& cur = m_doc.Elem(m_iCur);
    cur.nSize = node.nOffset + node.nSize - cur.nOffset;
    cur.cbEndTag = static_cast<uint32_t>(node.nSize);
    m_iCur = cur.iParent;
    --m_nOpen;
    return true;
}

inline int32_t CXmlDocument::CParser::EndOfText()
{
    if (m_nOpen > 0) {
        const XML_NODE& open = m_stack[m_nOpen - 1];
        m_doc.m_strParseError =
            "Element '" + open.strName + "'" + AtOffset(open.nOffset) + " not ended";
        return -1;
    }
    if (m_iRoot == 0)
        m_doc.m_strParseError = "Root element not found";
    return m_iRoot;
}

int32_t CXmlDocument::ParseElements(XML_TOKEN& token)
{
    token.iNext = 0;
    CParser parser(*this);
    for (;;) {
        XML_NODE& node = parser.NextNode();
        switch (xml::ScanNode(token, node)) {
        case xml::XNK_ELEMENT:
            if (!parser.OpenElement(node))
                return -1;
            break;
        case xml::XNK_END_TAG:
            if (!parser.CloseElement(token, node))
                return -1;
            break;
        case xml::XNK_BAD:
            m_strParseError = node.strName;
            return -1;
        case xml::XNK_END_OF_TEXT:
            return parser.EndOfText();
        default:
            // Text, white space, CDATA, processing instructions, comments
            // and the document type are passed over.
            break;
        }
    }
}
