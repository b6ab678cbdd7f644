#pragma once
// The node scanner and the token cursor that the XML document reads its
// text with.
//
// A text is a run of bytes ended by NUL; offsets count bytes from 0. The
// scanner judges the shape of one node only: whether tags pair up and
// whether there is one root element is the parser's business.

#include "framework/StringTypes.h"

#include <cstdint>

namespace xml {

// Node kinds that ScanNode returns.
enum : int32_t {
    XNK_END_OF_TEXT = -2, // nothing left to scan
    XNK_BAD = -1,         // a malformed node; XML_NODE::strName holds the message
    XNK_END_TAG = 0,      // "</" ... ">"
    XNK_ELEMENT = 1,      // a start tag, or an empty-element tag ending with "/>"
    XNK_TEXT = 2,         // character data
    XNK_WHITESPACE = 4,   // space, tab, LF and CR only
    XNK_CDATA = 8,        // "<![C" ... "]]>"
    XNK_PI = 16,          // "<?" ... "?>"
    XNK_COMMENT = 32,     // "<!--" ... "-->"
    XNK_DOCTYPE = 64,     // "<!D" ... ">", declarations inside passed over
};

// One node cut off the text by ScanNode.
struct XML_NODE
{
    int32_t nKind = XNK_END_OF_TEXT;
    int32_t nOffset = 0; // offset of the node's first byte
    int32_t nSize = 0;   // its length in bytes
    bool bEmptyTag = false;
    // The name of a start tag or the target of a processing instruction, or
    // the scanner's message for XNK_BAD. Left as it was by nodes that carry
    // no name (text, end tags, comments).
    CString strName;
};

// A cursor over a NUL-terminated text.
struct XML_TOKEN
{
    int32_t iFirst = 0;       // offset of the token's first byte
    int32_t iLast = -1;       // offset of its last byte; iFirst - 1 when empty
    int32_t iNext = 0;        // where the next scan starts
    const char* pszText = ""; // never null; "" for an empty document
    bool bQuoted = false;     // the token was quoted; iFirst..iLast is its inside
};

// Space, tab, LF and CR: the white space of XML.
inline bool IsXmlSpace(unsigned char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r';
}

// Reads the node that starts at token.iNext into node, moves token.iNext
// past it and returns its kind. At the end of the text the kind is
// XNK_END_OF_TEXT and the cursor does not move. For an end tag the cursor's
// iFirst..iLast is left on the tag's name.
int32_t ScanNode(XML_TOKEN& token, XML_NODE& node);

// Moves nPos past white space; true when it then stands on a byte that is
// not the ending NUL.
bool SkipSpace(const char* pszText, int32_t& nPos);

// Moves nPos to the next ch (or to the ending NUL); true when ch was found.
bool FindChar(const char* pszText, int32_t& nPos, char ch);

// Reads the next token from token.iNext: a quoted string (its inside), a run
// of bytes up to white space or one of < > = \ / ? !, or a single such
// delimiter. False, with an empty token at the end, when nothing is left.
// A quoted string whose closing quote is missing runs to the end.
bool NextToken(XML_TOKEN& token);

// The bytes iFirst..iLast of the cursor's text.
CString GetTokenText(const XML_TOKEN& token);

} // namespace xml
