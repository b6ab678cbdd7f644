#include "XmlScanner.h"

#include <cstring>
#include <string>

namespace xml {

namespace {

enum : unsigned {
    PS_OPEN = 0x01,    // just after "<"
    PS_BANG = 0x02,    // just after "<!"
    PS_DASH = 0x04,    // just after "<!-"
    PS_BRACKET = 0x08, // just after "<!["
    PS_SPACE = 0x10,   // inside white space
    PS_DOCTYPE = 0x20, // inside a document type declaration
    PS_IN_APOS = 0x40, // inside an apostrophe-quoted value of a start tag
    PS_IN_QUOT = 0x80, // inside a double-quoted value of a start tag
};

bool IsNameStartByte(unsigned char b)
{
    // Bytes from 0x80 up do not start a name: the scanner does not decode
    // characters, so it cannot tell a letter from anything else there.
    return (b >= 'A' && b <= 'Z') || (b >= 0x61 && b <= 0x7F) || b == '_' || b == ':';
}

bool IsTokenDelimiter(unsigned char b)
{
    return IsXmlSpace(b) || b == '<' || b == '>' || b == '=' || b == '\\' || b == '/' || b == '?' ||
        b == '!';
}

CString Incorrect(const char* pszWhat, int32_t nOffset)
{
    return CString("Incorrect ") + pszWhat + " at offset " + std::to_string(nOffset);
}

CString Unterminated(const char* pszWhat, int32_t nOffset)
{
    return CString(pszWhat) + " at offset " + std::to_string(nOffset) + " unterminated";
}

// One run of ScanNode: the state machine's variables, and one method for
// each group of states. Each byte goes first to the name being read, then,
// while no end marker is known, to the state it finds, and then, once the
// node's kind has given the marker, to the marker search. The byte that
// gives the marker is already tested against it, so a text node may end at
// its own first byte, a lone ">". The methods that read a byte return false
// once the node has ended there or is found wrong.
class CNodeScanner
{
public:
    CNodeScanner(XML_TOKEN& token, XML_NODE& node)
        : m_token(token), m_node(node), m_psz(token.pszText), m_nStart(token.iNext),
          m_iEnd(token.iNext)
    {}

    int32_t Scan();

private:
    // Reads the byte b at p.
    bool Step(unsigned char b, int32_t p);
    // False while b still belongs to the name; true once the name has been
    // taken and b is to be read as usual.
    bool EndName(unsigned char b, int32_t p);
    // The bytes that decide the node's kind, before it has an end marker.
    bool ReadOpening(unsigned char b, int32_t p);
    // Before anything but white space has been read.
    bool Outside(unsigned char b, int32_t p);
    bool AfterOpen(unsigned char b, int32_t p);
    // After "<!", "<!-" or "<![".
    bool AfterBang(unsigned char b);
    bool InDoctype(unsigned char b, int32_t p);
    bool SearchMarker(unsigned char b, int32_t p);
    bool EndsWithMarker(int32_t p) const;
    // The text ends at p inside the node.
    void EndOfText(int32_t p);
    const char* UnterminatedWhat() const;
    void SetMarker(const char* pszWhich)
    {
        m_pszMarker = pszWhich;
        m_nMarker = static_cast<int32_t>(std::strlen(pszWhich));
    }
    // The node ends at iEnd.
    bool Finish(int32_t iEnd)
    {
        m_iEnd = iEnd;
        return false;
    }
    // The byte after "<", "<!", "<!-" or "<![" starts no known node. Only
    // the word is kept, and Scan makes the message: a method that made it
    // from four places would not be inlined, and the scanner's variables
    // would then live in memory rather than in registers.
    bool Wrong(const char* pszWhat)
    {
        m_pszWrong = pszWhat;
        return false;
    }

    XML_TOKEN& m_token;
    XML_NODE& m_node;
    const char* const m_psz;
    const int32_t m_nStart;
    unsigned m_nState = 0;
    int32_t m_nKind = XNK_BAD;
    const char* m_pszMarker = nullptr; // the end marker, or none
    int32_t m_nMarker = 0;
    int32_t m_iName = -1; // where a name being read begins, or none
    int32_t m_iEnd;
    const char* m_pszWrong = nullptr; // what Wrong was given, or none
};

int32_t CNodeScanner::Scan()
{
    m_node.nOffset = m_nStart;
    m_node.bEmptyTag = false;
    if (m_psz[m_nStart] == '\0') {
        m_node.nKind = XNK_END_OF_TEXT;
        m_node.nSize = 0;
        return XNK_END_OF_TEXT;
    }
    int32_t p = m_nStart;
    while (m_psz[p] != '\0' && Step(static_cast<unsigned char>(m_psz[p]), p))
        ++p;
    if (m_psz[p] == '\0')
        EndOfText(p);
    if (m_pszWrong != nullptr) {
        m_nKind = XNK_BAD;
        m_node.strName = Incorrect(m_pszWrong, m_nStart);
        m_iEnd = m_nStart;
    }
    m_token.iNext = m_iEnd + 1;
    m_node.nSize = m_iEnd + 1 - m_nStart;
    m_node.nKind = m_nKind;
    return m_nKind;
}

bool CNodeScanner::Step(unsigned char b, int32_t p)
{
    if (m_iName >= 0 && !EndName(b, p))
        return true;
    if (m_pszMarker == nullptr && !ReadOpening(b, p))
        return false;
    return m_pszMarker == nullptr || SearchMarker(b, p);
}

bool CNodeScanner::EndName(unsigned char b, int32_t p)
{
    if (!IsXmlSpace(b) && b != '/' && b != '>')
        return false;
    if (m_nKind == XNK_END_TAG) {
        m_token.iFirst = m_iName;
        m_token.iLast = p - 1;
    } else {
        m_node.strName.assign(m_psz + m_iName, static_cast<size_t>(p - m_iName));
    }
    m_iName = -1;
    return true;
}

bool CNodeScanner::ReadOpening(unsigned char b, int32_t p)
{
    if (m_nState == 0 || (m_nState & PS_SPACE))
        return Outside(b, p);
    if (m_nState & PS_OPEN)
        return AfterOpen(b, p);
    if (m_nState & (PS_BANG | PS_DASH | PS_BRACKET))
        return AfterBang(b);
    if (m_nState & PS_DOCTYPE)
        return InDoctype(b, p);
    return true;
}

bool CNodeScanner::Outside(unsigned char b, int32_t p)
{
    if (m_nState == 0) {
        if (b == '<') {
            m_nState |= PS_OPEN;
            return true;
        }
        m_nKind = XNK_WHITESPACE;
        if (IsXmlSpace(b)) {
            m_nState |= PS_SPACE;
            return true;
        }
    } else if (b == '<') {
        return Finish(p - 1);
    } else if (IsXmlSpace(b)) {
        return true;
    }
    m_nState &= ~PS_SPACE;
    m_nKind = XNK_TEXT;
    SetMarker("<");
    return true;
}

bool CNodeScanner::AfterOpen(unsigned char b, int32_t p)
{
    m_nState &= ~PS_OPEN;
    if (IsNameStartByte(b)) {
        m_nKind = XNK_ELEMENT;
        SetMarker(">");
        m_iName = p;
    } else if (b == '/') {
        m_nKind = XNK_END_TAG;
        SetMarker(">");
        m_iName = p + 1;
    } else if (b == '!') {
        m_nState |= PS_BANG;
    } else if (b == '?') {
        m_nKind = XNK_PI;
        SetMarker("?>");
        m_iName = p + 1;
    } else {
        return Wrong("tag name character");
    }
    return true;
}

bool CNodeScanner::AfterBang(unsigned char b)
{
    if (m_nState & PS_BANG) {
        m_nState &= ~PS_BANG;
        if (b == '-') {
            m_nState |= PS_DASH;
        } else if (b == '[' && !(m_nState & PS_DOCTYPE)) {
            m_nState |= PS_BRACKET;
        } else if (b == 'D' && !(m_nState & PS_DOCTYPE)) {
            m_nState |= PS_DOCTYPE;
        } else if (b == 'E' || b == 'A' || b == 'N') {
            // A markup declaration: passed over inside a document type, an
            // error anywhere else.
            m_nKind = XNK_BAD;
            SetMarker(">");
        } else {
            return Wrong("! tag");
        }
    } else if (m_nState & PS_DASH) {
        m_nState &= ~PS_DASH;
        if (b != '-')
            return Wrong("comment tag");
        m_nKind = XNK_COMMENT;
        SetMarker("-->");
    } else {
        m_nState &= ~PS_BRACKET;
        if (b != 'C')
            return Wrong("tag");
        m_nKind = XNK_CDATA;
        SetMarker("]]>");
    }
    return true;
}

bool CNodeScanner::InDoctype(unsigned char b, int32_t p)
{
    if (b == '<') {
        m_nState |= PS_OPEN;
    } else if (b == '>') {
        m_nKind = XNK_DOCTYPE;
        return Finish(p);
    }
    return true;
}

bool CNodeScanner::SearchMarker(unsigned char b, int32_t p)
{
    if (b == '>' && !(m_nState & (PS_IN_APOS | PS_IN_QUOT))) {
        m_iEnd = p;
        if (m_nMarker == 1) {
            if (m_nKind == XNK_ELEMENT && p > m_nStart && m_psz[p - 1] == '/')
                m_node.bEmptyTag = true;
        } else if (!EndsWithMarker(p)) {
            return true;
        }
        m_pszMarker = nullptr;
        m_nMarker = 0;
        if (m_nState & PS_DOCTYPE)
            return true;
        if (m_nKind == XNK_BAD)
            m_node.strName = Incorrect("markup declaration", m_nStart);
        return false;
    }
    if (b == '<' && m_nKind == XNK_TEXT)
        return Finish(p - 1);
    if (m_nKind == XNK_ELEMENT) {
        if (b == '"' && !(m_nState & PS_IN_APOS))
            m_nState ^= PS_IN_QUOT;
        else if (b == '\'' && !(m_nState & PS_IN_QUOT))
            m_nState ^= PS_IN_APOS;
    }
    return true;
}

bool CNodeScanner::EndsWithMarker(int32_t p) const
{
    // The marker's leading bytes must lie after the node's "<": they may
    // overlap the opening ("<!-->" is a whole comment), wherever in the text
    // the node stands.
    const int32_t nLead = m_nMarker - 1;
    return p - nLead > m_nStart &&
        std::memcmp(m_psz + p - nLead, m_pszMarker, static_cast<size_t>(nLead)) == 0;
}

void CNodeScanner::EndOfText(int32_t p)
{
    m_iEnd = p - 1;
    if (m_nKind == XNK_WHITESPACE || m_nKind == XNK_TEXT)
        return;
    m_node.strName = Unterminated(UnterminatedWhat(), m_nStart);
    m_nKind = XNK_BAD;
}

const char* CNodeScanner::UnterminatedWhat() const
{
    if ((m_nState & PS_DOCTYPE) || m_nKind == XNK_DOCTYPE)
        return "Doctype";
    switch (m_nKind) {
    case XNK_ELEMENT:
        return "Element tag";
    case XNK_END_TAG:
        return "Element end tag";
    case XNK_CDATA:
        return "CDATA Section";
    case XNK_PI:
        return "Processing instruction";
    case XNK_COMMENT:
        return "Comment";
    default:
        return "tag";
    }
}

} // namespace

int32_t ScanNode(XML_TOKEN& token, XML_NODE& node) { return CNodeScanner(token, node).Scan(); }

bool SkipSpace(const char* pszText, int32_t& nPos)
{
    while (IsXmlSpace(static_cast<unsigned char>(pszText[nPos])))
        ++nPos;
    return pszText[nPos] != '\0';
}

bool FindChar(const char* pszText, int32_t& nPos, char ch)
{
    while (pszText[nPos] != '\0' && pszText[nPos] != ch)
        ++nPos;
    return pszText[nPos] != '\0';
}

bool NextToken(XML_TOKEN& token)
{
    const char* const psz = token.pszText;
    token.bQuoted = false;
    int32_t nPos = token.iNext;
    if (!SkipSpace(psz, nPos)) {
        token.iFirst = nPos;
        token.iLast = nPos - 1;
        token.iNext = nPos;
        return false;
    }
    const char ch = psz[nPos];
    if (ch == '"' || ch == '\'') {
        token.iFirst = nPos + 1;
        token.bQuoted = true;
        int32_t q = nPos + 1;
        const bool bClosed = FindChar(psz, q, ch);
        token.iLast = q - 1;
        token.iNext = bClosed ? q + 1 : q;
        return true;
    }
    token.iFirst = nPos;
    int32_t q = nPos;
    while (psz[q] != '\0' && !IsTokenDelimiter(static_cast<unsigned char>(psz[q])))
        ++q;
    if (q == nPos)
        q = nPos + 1;
    token.iLast = q - 1;
    token.iNext = q;
    return true;
}

CString GetTokenText(const XML_TOKEN& token)
{
    if (token.iLast < token.iFirst)
        return {};
    return CString(token.pszText + token.iFirst,
                   static_cast<size_t>(token.iLast - token.iFirst + 1));
}

} // namespace xml
