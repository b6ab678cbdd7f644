#include "XmlRecordCheck.h"

#include <cstring>
#include <vector>

namespace xmlcheck {

namespace {

using xml::XML_ELEMENT;
using xml::XML_NODE;
using xml::XML_TOKEN;

std::string Describe(int32_t i, const XML_ELEMENT& e)
{
    return "element " + std::to_string(i) + " (offset " + std::to_string(e.nOffset) + ", size " +
        std::to_string(e.nSize) + ", start " + std::to_string(e.cbStartTag) + ", end " +
        std::to_string(e.cbEndTag) + ")";
}

bool NameCloses(const std::string& strEnd, const std::string& strStart)
{
    if (strEnd.size() > strStart.size() ||
        std::memcmp(strEnd.data(), strStart.data(), strEnd.size()) != 0)
        return false;
    if (strEnd.size() == strStart.size())
        return true;
    const char ch = strStart[strEnd.size()];
    return ch == ' ' || ch == '=' || ch == '/' || ch == '[';
}

class CChecker
{
public:
    CChecker(const CXmlDocument& doc, ECheck level)
        : m_doc(doc), m_text(doc.GetText()), m_level(level),
          m_visited(static_cast<size_t>(doc.GetElementCount()), 0)
    {}

    std::string Run()
    {
        const int32_t nCount = m_doc.GetElementCount();
        if (nCount < 1)
            return "no document record";
        const XML_ELEMENT& doc = m_doc.GetElement(0);
        if (doc.cbEndTag != 1 || doc.nOffset != 0)
            return "document record is not marked as the document";
        if (doc.iFirstChild == 0)
            return nCount == 1 ? std::string() : "records in use without a root element";
        if (doc.nSize != static_cast<int32_t>(m_text.size()))
            return "document size " + std::to_string(doc.nSize) + " but the text has " +
                std::to_string(m_text.size()) + " bytes";
        if (m_text.find('\0') != std::string::npos)
            return "the text holds a NUL byte";

        std::vector<int32_t> pending{0};
        while (!pending.empty()) {
            const int32_t i = pending.back();
            pending.pop_back();
            std::string strError = CheckChildren(i, pending);
            if (!strError.empty())
                return strError;
        }
        for (int32_t i = 1; i < nCount; ++i) {
            if (!m_visited[static_cast<size_t>(i)])
                return "element " + std::to_string(i) + " is not in the tree";
        }
        return {};
    }

private:
    // Checks the children of i (the document for 0) and queues them.
    std::string CheckChildren(int32_t i, std::vector<int32_t>& pending)
    {
        const XML_ELEMENT& parent = m_doc.GetElement(i);
        int32_t nFrom = 0;
        int32_t nTo = static_cast<int32_t>(m_text.size());
        if (i != 0) {
            nFrom = parent.nOffset + static_cast<int32_t>(parent.cbStartTag);
            nTo = parent.nOffset + parent.nSize - static_cast<int32_t>(parent.cbEndTag);
        }
        const int32_t nCount = m_doc.GetElementCount();
        int32_t iChild = parent.iFirstChild;
        int32_t iPrev = 0;
        int32_t nSeen = 0;
        while (iChild != 0) {
            if (iChild < 1 || iChild >= nCount)
                return "child index " + std::to_string(iChild) + " of " + std::to_string(i) +
                    " is out of range";
            if (m_visited[static_cast<size_t>(iChild)])
                return "element " + std::to_string(iChild) + " is reached twice";
            m_visited[static_cast<size_t>(iChild)] = 1;
            if (++nSeen > nCount)
                return "sibling chain of " + std::to_string(i) + " does not end";
            const XML_ELEMENT& e = m_doc.GetElement(iChild);
            const std::string strWhat = Describe(iChild, e);
            if (e.iParent != i)
                return strWhat + " has parent " + std::to_string(e.iParent) + ", not " +
                    std::to_string(i);
            const uint32_t nDepth = i == 0 ? 0 : parent.nDepth + 1;
            if (e.nDepth != nDepth)
                return strWhat + " has depth " + std::to_string(e.nDepth) + ", not " +
                    std::to_string(nDepth);
            const bool bFirst = iPrev == 0;
            if (((e.wFlags & xml::XEF_FIRSTCHILD) != 0) != bFirst)
                return strWhat + " has a wrong first-child flag";
            if (!bFirst && e.iPrevSibling != iPrev)
                return strWhat + " has previous sibling " + std::to_string(e.iPrevSibling) +
                    ", not " + std::to_string(iPrev);
            if (i == 0 && !bFirst)
                return strWhat + " is a sibling of the root";
            std::string strError = CheckFraming(iChild, e, nFrom, nTo);
            if (strError.empty() && m_level == ECheck::Text)
                strError = CheckGap(nFrom, e.nOffset, strWhat);
            if (strError.empty() && m_level == ECheck::Text)
                strError = CheckTags(e, strWhat);
            if (!strError.empty())
                return strError;
            nFrom = e.nOffset + e.nSize;
            pending.push_back(iChild);
            iPrev = iChild;
            iChild = e.iNextSibling;
        }
        if (parent.iFirstChild != 0 && m_doc.GetElement(parent.iFirstChild).iPrevSibling != iPrev)
            return "first child of " + std::to_string(i) + " does not link to the last child " +
                std::to_string(iPrev);
        if (m_level == ECheck::Text)
            return CheckGap(nFrom, nTo, "the end of the content of " + std::to_string(i));
        return {};
    }

    std::string CheckFraming(int32_t i, const XML_ELEMENT& e, int32_t nFrom, int32_t nTo) const
    {
        const std::string strWhat = Describe(i, e);
        const int32_t nStart = static_cast<int32_t>(e.cbStartTag);
        const int32_t nEnd = static_cast<int32_t>(e.cbEndTag);
        // An element named by the empty name is "</>", and "<>" once it
        // has a child: two bytes are the shortest start tag.
        if (e.nOffset < nFrom || e.nOffset + e.nSize > nTo || nStart < (nEnd == 0 ? 3 : 2) ||
            e.nSize < nStart + nEnd)
            return strWhat + " does not lie inside [" + std::to_string(nFrom) + ", " +
                std::to_string(nTo) + ") after its previous sibling";
        const auto at = [this](int32_t n) { return m_text[static_cast<size_t>(n)]; };
        if (at(e.nOffset) != '<' || at(e.nOffset + nStart - 1) != '>')
            return strWhat + " has no start tag framed by < and >";
        if (nEnd == 0) {
            if (e.nSize != nStart || at(e.nOffset + nStart - 2) != '/' || e.iFirstChild != 0)
                return strWhat + " is empty but is not one \"/>\" tag";
        } else {
            const int32_t nEndTag = e.nOffset + e.nSize - nEnd;
            if (nEnd < 3 || at(nEndTag) != '<' || at(nEndTag + 1) != '/' ||
                at(e.nOffset + e.nSize - 1) != '>')
                return strWhat + " has no end tag framed by </ and >";
        }
        return {};
    }

    // Only nodes that are not elements between nFrom and nTo, ending there.
    std::string CheckGap(int32_t nFrom, int32_t nTo, const std::string& strBefore) const
    {
        XML_TOKEN token;
        token.pszText = m_text.c_str();
        token.iNext = nFrom;
        XML_NODE node;
        while (token.iNext < nTo) {
            const int32_t nKind = xml::ScanNode(token, node);
            if (nKind == xml::XNK_ELEMENT || nKind == xml::XNK_END_TAG || nKind == xml::XNK_BAD ||
                nKind == xml::XNK_END_OF_TEXT)
                return "node of kind " + std::to_string(nKind) + " at offset " +
                    std::to_string(node.nOffset) + " before " + strBefore;
        }
        if (token.iNext != nTo)
            return "a node runs from before " + strBefore + " into it (ends at " +
                std::to_string(token.iNext) + ", not " + std::to_string(nTo) + ")";
        return {};
    }

    std::string CheckTags(const XML_ELEMENT& e, const std::string& strWhat) const
    {
        XML_TOKEN token;
        token.pszText = m_text.c_str();
        token.iNext = e.nOffset;
        XML_NODE start;
        if (xml::ScanNode(token, start) != xml::XNK_ELEMENT ||
            start.nSize != static_cast<int32_t>(e.cbStartTag) ||
            start.bEmptyTag != (e.cbEndTag == 0))
            return strWhat + ": the scanner reads its start tag differently (kind " +
                std::to_string(start.nKind) + ", size " + std::to_string(start.nSize) + ")";
        if (e.cbEndTag == 0)
            return {};
        token.iNext = e.nOffset + e.nSize - static_cast<int32_t>(e.cbEndTag);
        XML_NODE end;
        if (xml::ScanNode(token, end) != xml::XNK_END_TAG ||
            end.nSize != static_cast<int32_t>(e.cbEndTag))
            return strWhat + ": the scanner reads its end tag differently";
        if (!NameCloses(xml::GetTokenText(token), start.strName))
            return strWhat + ": end tag '" + xml::GetTokenText(token) + "' does not close '" +
                start.strName + "'";
        return {};
    }

    const CXmlDocument& m_doc;
    const std::string& m_text;
    ECheck m_level;
    std::vector<char> m_visited;
};

} // namespace

std::string CheckRecords(const CXmlDocument& doc, ECheck level)
{
    return CChecker(doc, level).Run();
}

std::string DumpTree(const CXmlDocument& doc)
{
    std::string strDump;
    if (doc.GetElementCount() < 1)
        return strDump;
    // Depth-first in document order, without recursion.
    std::vector<int32_t> pending;
    const int32_t iRoot = doc.GetElement(0).iFirstChild;
    if (iRoot != 0)
        pending.push_back(iRoot);
    while (!pending.empty()) {
        const int32_t i = pending.back();
        pending.pop_back();
        const XML_ELEMENT& e = doc.GetElement(i);
        strDump.append(e.nDepth, ' ');
        strDump += std::to_string(e.nOffset) + " " + std::to_string(e.nSize) + " " +
            std::to_string(e.cbStartTag) + " " + std::to_string(e.cbEndTag) + " d" +
            std::to_string(e.nDepth) + ((e.wFlags & xml::XEF_FIRSTCHILD) ? " first" : "") + "\n";
        if (e.iNextSibling != 0)
            pending.push_back(e.iNextSibling);
        if (e.iFirstChild != 0)
            pending.push_back(e.iFirstChild);
    }
    return strDump;
}

} // namespace xmlcheck
