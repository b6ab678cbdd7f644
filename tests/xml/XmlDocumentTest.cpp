#include "xml/XmlDocument.h"

#include "support/XmlRecordCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using xml::XML_ELEMENT;

namespace {

// One record as "index: offset size start end depth [F] parent first next prev".
std::string Record(const CXmlDocument& doc, int32_t i)
{
    const XML_ELEMENT& e = doc.GetElement(i);
    return std::to_string(i) + ": " + std::to_string(e.nOffset) + " " + std::to_string(e.nSize) +
        " " + std::to_string(e.cbStartTag) + " " + std::to_string(e.cbEndTag) + " d" +
        std::to_string(e.nDepth) + ((e.wFlags & xml::XEF_FIRSTCHILD) ? " F" : "") + " p" +
        std::to_string(e.iParent) + " c" + std::to_string(e.iFirstChild) + " n" +
        std::to_string(e.iNextSibling) + " v" + std::to_string(e.iPrevSibling);
}

std::vector<std::string> Records(const CXmlDocument& doc)
{
    std::vector<std::string> records;
    for (int32_t i = 0; i < doc.GetElementCount(); ++i)
        records.push_back(Record(doc, i));
    return records;
}

using V = std::vector<std::string>;

TEST(XmlDocumentTest, NewDocumentIsEmpty)
{
    CXmlDocument doc;
    EXPECT_EQ(doc.GetText(), "");
    EXPECT_EQ(doc.GetParseError(), "Empty document");
    EXPECT_EQ(doc.GetElementCount(), 1);
    EXPECT_EQ(doc.GetElementCapacity(), 8);
    EXPECT_EQ(Records(doc), (V{"0: 0 0 0 1 d0 p0 c0 n0 v0"}));
}

TEST(XmlDocumentTest, TakingTheTextLeavesANewEmptyDocument)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetText("<a><b/></a>"));
    EXPECT_EQ(doc.TakeText(), "<a><b/></a>");
    EXPECT_EQ(doc.GetText(), "");
    EXPECT_EQ(doc.GetParseError(), "Empty document");
    EXPECT_EQ(doc.GetElementCount(), 1);
    // It can be built again from nothing.
    EXPECT_TRUE(doc.AddElement("c"));
    EXPECT_EQ(doc.GetText(), "<c/>\r\n");
}

TEST(XmlDocumentTest, SingleEmptyElement)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetText("<a/>"));
    EXPECT_EQ(doc.GetParseError(), "");
    EXPECT_EQ(Records(doc), (V{"0: 0 4 0 1 d0 p0 c1 n0 v0", "1: 0 4 4 0 d0 F p0 c0 n0 v1"}));
}

TEST(XmlDocumentTest, NestedElements)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetText("<r><x/><y><z/></y></r>"));
    EXPECT_EQ(Records(doc),
              (V{
                  "0: 0 22 0 1 d0 p0 c1 n0 v0",
                  "1: 0 22 3 4 d0 F p0 c2 n0 v1",
                  "2: 3 4 4 0 d1 F p1 c0 n3 v3",
                  "3: 7 11 3 4 d1 p1 c4 n0 v2",
                  "4: 10 4 4 0 d2 F p3 c0 n0 v4",
              }));
    EXPECT_EQ(xmlcheck::CheckRecords(doc, xmlcheck::ECheck::Text), "");
}

TEST(XmlDocumentTest, NodesAroundTheRootArePassedOver)
{
    const char* const kTexts[] = {
        "<?xml version=\"1.0\"?>\r\n<!-- c --><r/>\r\n<?pi x?> text",
        "<!DOCTYPE a [<!ELEMENT a ANY>]><a/>",
        "<r>text<![CDATA[<x>]]><!-- <y/> --></r>",
        "<a></a \r\n>",
        "<a b='1' c=\"x>y\"></a>",
    };
    for (const char* pszText : kTexts) {
        CXmlDocument doc;
        EXPECT_TRUE(doc.SetText(pszText)) << pszText << ": " << doc.GetParseError();
        EXPECT_EQ(doc.GetElementCount(), 2) << pszText;
        EXPECT_EQ(xmlcheck::CheckRecords(doc, xmlcheck::ECheck::Text), "") << pszText;
    }
}

TEST(XmlDocumentTest, EndTagClosesTheNameBeforeASeparator)
{
    // An end tag closes a start-tag name up to "=" or "[" (the scanner
    // ends names only at white space, "/" and ">").
    CXmlDocument doc;
    EXPECT_TRUE(doc.SetText("<a=b></a>"));
    EXPECT_TRUE(doc.SetText("<a[1]></a>"));
    EXPECT_FALSE(doc.SetText("<ab></a>"));
    EXPECT_FALSE(doc.SetText("<a></ab>"));
}

struct CFailureCase
{
    const char* pszText;
    const char* pszMessage;
};

class ParseFailureTest : public ::testing::TestWithParam<CFailureCase>
{};

TEST_P(ParseFailureTest, ReportsTheMessageAndKeepsOnlyTheText)
{
    const CFailureCase& c = GetParam();
    CXmlDocument doc;
    // A good parse first, so that dropping its records is seen too.
    ASSERT_TRUE(doc.SetText("<r><a/></r>"));
    EXPECT_FALSE(doc.SetText(c.pszText));
    EXPECT_EQ(doc.GetParseError(), c.pszMessage);
    EXPECT_EQ(doc.GetText(), c.pszText != nullptr ? c.pszText : "");
    EXPECT_EQ(Records(doc), (V{"0: 0 0 0 1 d0 p0 c0 n0 v0"}));
}

const CFailureCase kFailureCases[] = {
    {"", "Empty document"},
    {nullptr, "Empty document"},
    {"<?xml version=\"1.0\"?>\r\n", "Root element not found"},
    {"text only", "Root element not found"},
    {"<a/><b/>", "Element 'b' at offset 4 is sibling to root"},
    {"<a></a>\r\n<b>", "Element 'b' at offset 9 is sibling to root"},
    {"</a>", "No start tag for end tag 'a' at offset 0"},
    {"<a/></a>", "No start tag for end tag 'a' at offset 4"},
    {"<a></b>", "End tag 'b' at offset 4 does not match start tag 'a' at offset 0"},
    {"<r>\r\n<a></b></r>", "End tag 'b' at offset 9 does not match start tag 'a' at offset 5"},
    {"<a>", "Element 'a' at offset 0 not ended"},
    {"<r><a></a><b>x", "Element 'b' at offset 10 not ended"},
    {"<a", "Element tag at offset 0 unterminated"},
    {"<a></a", "Element end tag at offset 3 unterminated"},
    {"<a><!-- x", "Comment at offset 3 unterminated"},
    {"<a><?pi", "Processing instruction at offset 3 unterminated"},
    {"<a><![CDATA[", "CDATA Section at offset 3 unterminated"},
    {"<!DOCTYPE a", "Doctype at offset 0 unterminated"},
    {"<a><", "tag at offset 3 unterminated"},
    {"< a>", "Incorrect tag name character at offset 0"},
    {"<a><!-x></a>", "Incorrect comment tag at offset 3"},
    {"<a><!x></a>", "Incorrect ! tag at offset 3"},
    {"<a><![x></a>", "Incorrect tag at offset 3"},
    {"<!ELEMENT a ANY><a/>", "Incorrect markup declaration at offset 0"},
};

INSTANTIATE_TEST_SUITE_P(Messages, ParseFailureTest, ::testing::ValuesIn(kFailureCases));

TEST(XmlDocumentLimitsTest, TagsLongerThanTheirFieldsAreRefused)
{
    // A tag of exactly the largest length parses; one byte more does not.
    struct CCase
    {
        std::string (*text)(size_t nTag);        // a document with a tag nTag long
        uint32_t (*field)(const XML_ELEMENT& e); // the length its record holds
        int32_t nMax;
        const char* pszError;
    };
    const CCase cases[] = {
        {[](size_t nTag) { return "<a" + std::string(nTag - 3, ' ') + "></a>"; },
         [](const XML_ELEMENT& e) -> uint32_t { return e.cbStartTag; }, xml::kMaxStartTag,
         "Start tag of element 'a' at offset 0 is longer than 4194303 bytes"},
        {[](size_t nTag) { return "<a></a" + std::string(nTag - 4, ' ') + ">"; },
         [](const XML_ELEMENT& e) -> uint32_t { return e.cbEndTag; }, xml::kMaxEndTag,
         "End tag 'a' at offset 3 is longer than 1023 bytes"},
    };
    for (const CCase& c : cases) {
        CXmlDocument doc;
        EXPECT_TRUE(doc.SetText(c.text(c.nMax).c_str())) << c.pszError;
        EXPECT_EQ(c.field(doc.GetElement(1)), static_cast<uint32_t>(c.nMax));
        EXPECT_FALSE(doc.SetText(c.text(c.nMax + 1).c_str()));
        EXPECT_EQ(doc.GetParseError(), c.pszError);
    }
}

TEST(XmlDocumentLimitsTest, NestingDeeperThanItsFieldIsRefused)
{
    const auto text = [](int nLevels) {
        std::string str;
        for (int i = 0; i < nLevels; ++i)
            str += "<a>";
        for (int i = 0; i < nLevels; ++i)
            str += "</a>";
        return str;
    };
    CXmlDocument doc;
    // Depths 0 to 65,535 fit.
    ASSERT_TRUE(doc.SetText(text(xml::kMaxDepth + 1).c_str()));
    EXPECT_EQ(doc.GetElement(xml::kMaxDepth + 1).nDepth, static_cast<uint32_t>(xml::kMaxDepth));
    EXPECT_EQ(xmlcheck::CheckRecords(doc, xmlcheck::ECheck::Structure), "");
    EXPECT_FALSE(doc.SetText(text(xml::kMaxDepth + 2).c_str()));
    EXPECT_EQ(doc.GetParseError(),
              "Element 'a' at offset 196608 is nested deeper than 65535 levels");
}

TEST(XmlDocumentStorageTest, RecordsSpanSegments)
{
    // Enough elements for three segments, each at a known offset. The index
    // is first sized for one record per 64 bytes, so it grows while the
    // text is parsed; the second parse reuses it.
    const int32_t nChildren = 2 * CXmlDocument::kSegmentRecords + 100;
    std::string strText = "<r>";
    for (int32_t i = 0; i < nChildren; ++i)
        strText += "<e/>";
    strText += "</r>";
    CXmlDocument doc;
    for (int nPass = 0; nPass < 2; ++nPass) {
        ASSERT_TRUE(doc.SetText(strText.c_str()));
        ASSERT_EQ(doc.GetElementCount(), nChildren + 2);
        EXPECT_GE(doc.GetElementCapacity(), doc.GetElementCount());
        for (const int32_t i : {2, 65535, 65536, 65537, 131072, nChildren + 1}) {
            const XML_ELEMENT& e = doc.GetElement(i);
            EXPECT_EQ(e.nOffset, 3 + 4 * (i - 2)) << i;
            EXPECT_EQ(e.iParent, 1) << i;
            EXPECT_EQ(e.iPrevSibling, i == 2 ? nChildren + 1 : i - 1) << i;
        }
        EXPECT_EQ(xmlcheck::CheckRecords(doc, xmlcheck::ECheck::Text), "");
    }
}

} // namespace
