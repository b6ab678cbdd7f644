#include "xml/XmlScanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace xml;

namespace {

// The nodes of a text as "kind@offset+size", with the name or message of
// start tags, processing instructions and bad nodes, and "/" for an
// empty-element tag; scanning stops after the first bad node.
std::string Scan(const std::string& strText)
{
    XML_TOKEN token;
    token.pszText = strText.c_str();
    std::string strOut;
    for (;;) {
        XML_NODE node;
        const int32_t nKind = ScanNode(token, node);
        if (nKind == XNK_END_OF_TEXT)
            break;
        if (!strOut.empty())
            strOut += " | ";
        switch (nKind) {
        case XNK_BAD:
            strOut += "BAD";
            break;
        case XNK_END_TAG:
            strOut += "END";
            break;
        case XNK_ELEMENT:
            strOut += "ELEM";
            break;
        case XNK_TEXT:
            strOut += "TEXT";
            break;
        case XNK_WHITESPACE:
            strOut += "WS";
            break;
        case XNK_CDATA:
            strOut += "CDATA";
            break;
        case XNK_PI:
            strOut += "PI";
            break;
        case XNK_COMMENT:
            strOut += "COMMENT";
            break;
        case XNK_DOCTYPE:
            strOut += "DOCTYPE";
            break;
        default:
            strOut += "?";
            break;
        }
        strOut += "@" + std::to_string(node.nOffset) + "+" + std::to_string(node.nSize);
        if ((nKind == XNK_ELEMENT || nKind == XNK_PI || nKind == XNK_BAD) && !node.strName.empty())
            strOut += " " + node.strName;
        if (node.bEmptyTag)
            strOut += " /";
        if (nKind == XNK_END_TAG)
            strOut += " " + GetTokenText(token);
        if (nKind == XNK_BAD)
            break;
        if (token.iNext != node.nOffset + node.nSize)
            return strOut + " (cursor not after the node)";
    }
    return strOut;
}

struct CScanCase
{
    const char* pszText;
    const char* pszNodes;
};

class ScanNodeTest : public ::testing::TestWithParam<CScanCase>
{};

TEST_P(ScanNodeTest, CutsTheTextIntoNodes)
{
    EXPECT_EQ(Scan(GetParam().pszText), GetParam().pszNodes) << GetParam().pszText;
}

const CScanCase kScanCases[] = {
    // Well-formed nodes.
    {"<a/>", "ELEM@0+4 a /"},
    {"<a>x</a >", "ELEM@0+3 a | TEXT@3+1 | END@4+5 a"},
    {" \t\r\n<a/>\r\n", "WS@0+4 | ELEM@4+4 a / | WS@8+2"},
    {"<a b='>'/>", "ELEM@0+10 a /"},
    {"<a b=\"it's\" c='say \"x\"'>", "ELEM@0+24 a"},
    {"<a/ >", "ELEM@0+5 a"},
    {"<?xml version=\"1.0\"?>\r\n", "PI@0+21 xml | WS@21+2"},
    {"<!-- a -- b -->", "COMMENT@0+15"},
    {"<!-->", "COMMENT@0+5"},
    {"x<!-->", "TEXT@0+1 | COMMENT@1+5"},
    {"<?>", "PI@0+3"},
    {"<![CDATA[ <a> ]]>", "CDATA@0+17"},
    {"<!DOCTYPE a [<!ELEMENT a ANY>]>", "DOCTYPE@0+31"},
    {"<!DOCTYPE a [<!-- > --><?p >?><x y='>'>]><a/>", "DOCTYPE@0+41 | ELEM@41+4 a /"},
    {"<:x/><_y/><\x7F/>", "ELEM@0+5 :x / | ELEM@5+5 _y / | ELEM@10+4 \x7F /"},
    // Text ends before "<" and at a ">", which it includes.
    {"a>b", "TEXT@0+2 | TEXT@2+1"},
    {">", "TEXT@0+1"},
    {"  x <a/>", "TEXT@0+4 | ELEM@4+4 a /"},
    {"  > x", "TEXT@0+3 | TEXT@3+2"},
    // Bytes that start no known node.
    {"< a>", "BAD@0+1 Incorrect tag name character at offset 0"},
    {"<\xC3\xA9/>", "BAD@0+1 Incorrect tag name character at offset 0"},
    {"<1/>", "BAD@0+1 Incorrect tag name character at offset 0"},
    {"<a><!-x></a>", "ELEM@0+3 a | BAD@3+1 Incorrect comment tag at offset 3"},
    {"<!x>", "BAD@0+1 Incorrect ! tag at offset 0"},
    {"<![x[", "BAD@0+1 Incorrect tag at offset 0"},
    {"<!DOCTYPE a [<![CDATA[x]]>]>", "BAD@0+1 Incorrect ! tag at offset 0"},
    {"<!DOCTYPE a [<!DOCTYPE b>]>", "BAD@0+1 Incorrect ! tag at offset 0"},
    {"<!ELEMENT a ANY>", "BAD@0+16 Incorrect markup declaration at offset 0"},
    // The text ends inside a node.
    {"<a", "BAD@0+2 Element tag at offset 0 unterminated"},
    {"<a b='>", "BAD@0+7 Element tag at offset 0 unterminated"},
    {"x</a", "TEXT@0+1 | BAD@1+3 Element end tag at offset 1 unterminated"},
    {"<!-- x --", "BAD@0+9 Comment at offset 0 unterminated"},
    {"<?pi x", "BAD@0+6 Processing instruction at offset 0 unterminated"},
    {"<![CDATA[x]]", "BAD@0+12 CDATA Section at offset 0 unterminated"},
    {"<!DOCTYPE a", "BAD@0+11 Doctype at offset 0 unterminated"},
    {"<!DOCTYPE a [<!-- x -->", "BAD@0+23 Doctype at offset 0 unterminated"},
    {"<", "BAD@0+1 tag at offset 0 unterminated"},
    {"<!", "BAD@0+2 tag at offset 0 unterminated"},
    {"<!ELEMENT a", "BAD@0+11 tag at offset 0 unterminated"},
};

INSTANTIATE_TEST_SUITE_P(Nodes, ScanNodeTest, ::testing::ValuesIn(kScanCases));

TEST(ScanNodeTest, EndOfTextLeavesTheCursor)
{
    const std::string strText = "<a/>";
    XML_TOKEN token;
    token.pszText = strText.c_str();
    token.iNext = 4;
    XML_NODE node;
    node.strName = "kept";
    EXPECT_EQ(ScanNode(token, node), XNK_END_OF_TEXT);
    EXPECT_EQ(node.nOffset, 4);
    EXPECT_EQ(node.nSize, 0);
    EXPECT_EQ(token.iNext, 4);
    EXPECT_EQ(node.strName, "kept");
}

// The tokens of a text as "text" or "'text'" for a quoted one, with their
// first and last offsets.
std::vector<std::string> Tokens(const std::string& strText)
{
    XML_TOKEN token;
    token.pszText = strText.c_str();
    std::vector<std::string> tokens;
    while (NextToken(token)) {
        const std::string strToken = GetTokenText(token);
        tokens.push_back((token.bQuoted ? "'" + strToken + "'" : strToken) + "@" +
                         std::to_string(token.iFirst) + ".." + std::to_string(token.iLast));
    }
    tokens.push_back("end@" + std::to_string(token.iNext));
    return tokens;
}

TEST(NextTokenTest, SplitsNamesDelimitersAndQuotedValues)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(Tokens("a=\"x y\""), (V{"a@0..0", "=@1..1", "'x y'@3..5", "end@7"}));
    EXPECT_EQ(Tokens("a=x"), (V{"a@0..0", "=@1..1", "x@2..2", "end@3"}));
    EXPECT_EQ(Tokens(" r a='' />"),
              (V{"r@1..1", "a@3..3", "=@4..4", "''@6..5", "/@8..8", ">@9..9", "end@10"}));
    EXPECT_EQ(Tokens("<?!\\"), (V{"<@0..0", "?@1..1", "!@2..2", "\\@3..3", "end@4"}));
    // A quote that is never closed runs to the end of the text.
    EXPECT_EQ(Tokens("a='x y"), (V{"a@0..0", "=@1..1", "'x y'@3..5", "end@6"}));
    EXPECT_EQ(Tokens(" \r\n\t"), (V{"end@4"}));
    EXPECT_EQ(Tokens(""), (V{"end@0"}));
}

TEST(NextTokenTest, EmptyTokenAtTheEnd)
{
    XML_TOKEN token;
    token.pszText = "ab  ";
    ASSERT_TRUE(NextToken(token));
    EXPECT_FALSE(NextToken(token));
    EXPECT_EQ(token.iFirst, 4);
    EXPECT_EQ(token.iLast, 3);
    EXPECT_EQ(GetTokenText(token), "");
}

TEST(TokenHelpersTest, SkipSpaceAndFindChar)
{
    const char* pszText = " \t\r\nx y";
    int32_t nPos = 0;
    EXPECT_TRUE(SkipSpace(pszText, nPos));
    EXPECT_EQ(nPos, 4);
    EXPECT_TRUE(FindChar(pszText, nPos, 'y'));
    EXPECT_EQ(nPos, 6);
    EXPECT_FALSE(FindChar(pszText, nPos, 'z'));
    EXPECT_EQ(nPos, 7);
    nPos = 5;
    EXPECT_FALSE(SkipSpace("     ", nPos));
}

} // namespace
