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

} // namespace

int32_t ScanNode(XML_TOKEN& token, XML_NODE& node)
{
    const char* const psz = token.pszText;
    const int32_t nStart = token.iNext;
    node.nOffset = nStart;
    node.bEmptyTag = false;
    if (psz[nStart] == '\0') {
        node.nKind = XNK_END_OF_TEXT;
        node.nSize = 0;
        return XNK_END_OF_TEXT;
    }

    unsigned nState = 0;
    int32_t nKind = XNK_BAD;
    const char* pszMarker = nullptr; // the end marker, or none
    int32_t nMarker = 0;
    int32_t iName = -1; // where a name being read begins, or none
    int32_t iEnd = nStart;
    const char* pszError = nullptr;

    const auto setMarker = [&](const char* pszWhich) {
        pszMarker = pszWhich;
        nMarker = static_cast<int32_t>(std::strlen(pszWhich));
    };

    bool bFinished = false; // the node ended before the NUL
    int32_t p = nStart;
    for (; psz[p] != '\0' && !bFinished && pszError == nullptr; ++p) {
        const unsigned char b = static_cast<unsigned char>(psz[p]);

        if (iName >= 0) {
            if (!IsXmlSpace(b) && b != '/' && b != '>')
                continue;
            if (nKind == XNK_END_TAG) {
                token.iFirst = iName;
                token.iLast = p - 1;
            } else {
                node.strName.assign(psz + iName, static_cast<size_t>(p - iName));
            }
            iName = -1;
        }

        if (pszMarker == nullptr) {
            if (nState == 0) {
                if (b == '<') {
                    nState |= PS_OPEN;
                } else {
                    nKind = XNK_WHITESPACE;
                    if (IsXmlSpace(b)) {
                        nState |= PS_SPACE;
                    } else {
                        nKind = XNK_TEXT;
                        setMarker("<");
                    }
                }
            } else if (nState & PS_SPACE) {
                if (b == '<') {
                    nKind = XNK_WHITESPACE;
                    iEnd = p - 1;
                    bFinished = true;
                    continue;
                }
                if (IsXmlSpace(b))
                    continue;
                nState &= ~PS_SPACE;
                nKind = XNK_TEXT;
                setMarker("<");
            } else if (nState & PS_OPEN) {
                nState &= ~PS_OPEN;
                if (IsNameStartByte(b)) {
                    nKind = XNK_ELEMENT;
                    setMarker(">");
                    iName = p;
                } else if (b == '/') {
                    nKind = XNK_END_TAG;
                    setMarker(">");
                    iName = p + 1;
                } else if (b == '!') {
                    nState |= PS_BANG;
                } else if (b == '?') {
                    nKind = XNK_PI;
                    setMarker("?>");
                    iName = p + 1;
                } else {
                    pszError = "tag name character";
                    continue;
                }
            } else if (nState & PS_BANG) {
                nState &= ~PS_BANG;
                if (b == '-') {
                    nState |= PS_DASH;
                } else if (b == '[' && !(nState & PS_DOCTYPE)) {
                    nState |= PS_BRACKET;
                } else if (b == 'D' && !(nState & PS_DOCTYPE)) {
                    nState |= PS_DOCTYPE;
                } else if (b == 'E' || b == 'A' || b == 'N') {
                    // A markup declaration: passed over inside a document
                    // type, an error anywhere else.
                    nKind = XNK_BAD;
                    setMarker(">");
                } else {
                    pszError = "! tag";
                    continue;
                }
            } else if (nState & PS_DASH) {
                nState &= ~PS_DASH;
                if (b != '-') {
                    pszError = "comment tag";
                    continue;
                }
                nKind = XNK_COMMENT;
                setMarker("-->");
            } else if (nState & PS_BRACKET) {
                nState &= ~PS_BRACKET;
                if (b != 'C') {
                    pszError = "tag";
                    continue;
                }
                nKind = XNK_CDATA;
                setMarker("]]>");
            } else if (nState & PS_DOCTYPE) {
                if (b == '<') {
                    nState |= PS_OPEN;
                } else if (b == '>') {
                    nKind = XNK_DOCTYPE;
                    iEnd = p;
                    bFinished = true;
                }
                continue;
            }
        }

        if (pszMarker != nullptr) {
            if (b == '>' && !(nState & (PS_IN_APOS | PS_IN_QUOT))) {
                iEnd = p;
                bool bFound = false;
                if (nMarker == 1) {
                    bFound = true;
                    if (nKind == XNK_ELEMENT && p > nStart && psz[p - 1] == '/')
                        node.bEmptyTag = true;
                } else if (p - (nMarker - 1) > nStart &&
                           std::memcmp(psz + p - (nMarker - 1), pszMarker,
                                       static_cast<size_t>(nMarker - 1)) == 0) {
                    // The marker's leading bytes must lie after the node's
                    // "<": they may overlap the opening ("<!-->" is a whole
                    // comment), wherever in the text the node stands.
                    bFound = true;
                }
                if (!bFound)
                    continue;
                pszMarker = nullptr;
                nMarker = 0;
                if (nState & PS_DOCTYPE)
                    continue;
                if (nKind == XNK_BAD)
                    node.strName = Incorrect("markup declaration", nStart);
                bFinished = true;
                continue;
            }
            if (b == '<' && nKind == XNK_TEXT) {
                iEnd = p - 1;
                bFinished = true;
                continue;
            }
            if (nKind == XNK_ELEMENT) {
                if (b == '"' && !(nState & PS_IN_APOS))
                    nState ^= PS_IN_QUOT;
                else if (b == '\'' && !(nState & PS_IN_QUOT))
                    nState ^= PS_IN_APOS;
            }
        }
    }

    if (pszError != nullptr) {
        nKind = XNK_BAD;
        node.strName = Incorrect(pszError, nStart);
        iEnd = nStart;
    } else if (!bFinished) {
        // The text ended inside the node.
        iEnd = p - 1;
        if (nKind != XNK_WHITESPACE && nKind != XNK_TEXT) {
            const char* pszWhat = "tag";
            if ((nState & PS_DOCTYPE) || nKind == XNK_DOCTYPE)
                pszWhat = "Doctype";
            else if (nKind == XNK_ELEMENT)
                pszWhat = "Element tag";
            else if (nKind == XNK_END_TAG)
                pszWhat = "Element end tag";
            else if (nKind == XNK_CDATA)
                pszWhat = "CDATA Section";
            else if (nKind == XNK_PI)
                pszWhat = "Processing instruction";
            else if (nKind == XNK_COMMENT)
                pszWhat = "Comment";
            node.strName = Unterminated(pszWhat, nStart);
            nKind = XNK_BAD;
        }
    }

    token.iNext = iEnd + 1;
    node.nSize = iEnd + 1 - nStart;
    node.nKind = nKind;
    return nKind;
}

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
