#include "xml/XmlDocument.h"

#include "support/XmlRecordCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using xml::XML_ELEMENT;

namespace {

const char* const kDeclaration = "<?xml version=\"1.0\"?>\r\n";

// The records must agree with the text, and a new parse of the text must
// rebuild the same tree.
void ExpectConsistent(const CXmlDocument& doc)
{
    EXPECT_EQ(xmlcheck::CheckRecords(doc, xmlcheck::ECheck::Text), "");
    CXmlDocument again;
    ASSERT_TRUE(again.SetText(doc.GetText().c_str())) << again.GetParseError();
    EXPECT_EQ(xmlcheck::DumpTree(again), xmlcheck::DumpTree(doc));
}

std::string Fields(const XML_ELEMENT& e)
{
    return std::to_string(e.nOffset) + " " + std::to_string(e.nSize) + " " +
        std::to_string(e.cbStartTag) + " " + std::to_string(e.cbEndTag) + " d" +
        std::to_string(e.nDepth) + ((e.wFlags & xml::XEF_FIRSTCHILD) ? " F" : "");
}

TEST(XmlEditingTest, BuildsTheDocumentOnAFailedParse)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetText(kDeclaration));
    EXPECT_EQ(doc.GetParseError(), "Root element not found");
    EXPECT_TRUE(doc.AddElement("r"));
    EXPECT_TRUE(doc.SetAttribute("a", "1"));
    EXPECT_TRUE(doc.EnterElement());
    EXPECT_TRUE(doc.AddElement("L"));
    EXPECT_TRUE(doc.AddChildElement("R"));
    EXPECT_TRUE(doc.SetChildAttribute("x", "<"));
    EXPECT_TRUE(doc.AddChildElement("R"));

    EXPECT_EQ(doc.GetText(),
              "<?xml version=\"1.0\"?>\r\n"
              "<r a=\"1\">\r\n"
              "<L>\r\n"
              "<R x=\"&lt;\"/>\r\n"
              "<R/>\r\n"
              "</L>\r\n"
              "</r>\r\n");
    ASSERT_EQ(doc.GetElementCount(), 5);
    EXPECT_EQ(doc.GetElement(0).nSize, 72);
    EXPECT_EQ(Fields(doc.GetElement(1)), "23 47 9 4 d0 F");
    EXPECT_EQ(Fields(doc.GetElement(2)), "34 30 3 4 d1 F");
    EXPECT_EQ(Fields(doc.GetElement(3)), "39 13 13 0 d2 F");
    EXPECT_EQ(Fields(doc.GetElement(4)), "54 4 4 0 d2");
    EXPECT_EQ(doc.GetParentElem(), 1);
    EXPECT_EQ(doc.GetCurElem(), 2);
    EXPECT_EQ(doc.GetChildElem(), 4);
    // The parse error belongs to the parse; edits leave it alone.
    EXPECT_EQ(doc.GetParseError(), "Root element not found");
    ExpectConsistent(doc);
}

TEST(XmlEditingTest, OneRootElementOnly)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.AddElement("r"));
    const std::string strText = doc.GetText();
    EXPECT_FALSE(doc.AddElement("s"));
    EXPECT_EQ(doc.GetText(), strText);
    EXPECT_EQ(doc.GetElementCount(), 2);

    // A parsed document has its root already.
    ASSERT_TRUE(doc.SetText("<a/>"));
    EXPECT_FALSE(doc.AddElement("b"));
    EXPECT_EQ(doc.GetText(), "<a/>");
}

TEST(XmlEditingTest, RootOfAnEmptyTextStandsAtOffsetZero)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetText(""));
    ASSERT_TRUE(doc.AddElement("r"));
    EXPECT_EQ(doc.GetText(), "<r/>\r\n");
    EXPECT_EQ(Fields(doc.GetElement(1)), "0 4 4 0 d0 F");
    EXPECT_EQ(doc.GetElement(0).nSize, 6);
}

TEST(XmlEditingTest, RootAfterTextThatHoldsNoElement)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetText("<!-- c --> text \r\n"));
    ASSERT_TRUE(doc.AddElement("r"));
    EXPECT_EQ(doc.GetText(), "<!-- c --> text \r\n<r/>\r\n");
    ExpectConsistent(doc);
}

TEST(XmlEditingTest, RefusedWithoutAPosition)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.AddChildElement("c"));
    EXPECT_FALSE(doc.EnterElement());
    EXPECT_FALSE(doc.SetAttribute("a", "1"));
    EXPECT_FALSE(doc.SetChildAttribute("a", "1"));
    EXPECT_EQ(doc.GetText(), "");
    EXPECT_EQ(doc.GetElementCount(), 1);

    ASSERT_TRUE(doc.AddElement("r"));
    EXPECT_FALSE(doc.SetChildAttribute("a", "1"));
    EXPECT_EQ(doc.GetText(), "<r/>\r\n");
}

TEST(XmlEditingTest, AttributeValues)
{
    // A value and the tag that holds it.
    const std::pair<const char*, const char*> kCases[] = {
        {"plain", "<r a=\"plain\"/>"},
        {"", "<r a=\"\"/>"},
        {"<&>'\"", "<r a=\"&lt;&amp;&gt;&apos;&quot;\"/>"},
        {"&amp;", "<r a=\"&amp;amp;\"/>"},
        {"caf\xC3\xA9 \t", "<r a=\"caf\xC3\xA9 \t\"/>"},
    };
    for (const auto& [pszValue, pszTag] : kCases) {
        CXmlDocument doc;
        ASSERT_TRUE(doc.AddElement("r"));
        ASSERT_TRUE(doc.SetAttribute("a", pszValue));
        EXPECT_EQ(doc.GetText(), std::string(pszTag) + "\r\n") << pszValue;
        ExpectConsistent(doc);
    }
}

TEST(XmlEditingTest, SettingAnAttributeAgainReplacesOnlyItsValue)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.AddElement("r"));
    ASSERT_TRUE(doc.SetAttribute("a", "1"));
    ASSERT_TRUE(doc.SetAttribute("ab", "x"));
    ASSERT_TRUE(doc.SetAttribute("b", "y"));
    ASSERT_TRUE(doc.SetAttribute("a", "2"));
    ASSERT_TRUE(doc.SetAttribute("b", "longer value"));
    ASSERT_TRUE(doc.SetAttribute("ab", ""));
    EXPECT_EQ(doc.GetText(), "<r a=\"2\" ab=\"\" b=\"longer value\"/>\r\n");
    ExpectConsistent(doc);
}

TEST(XmlEditingTest, EmptyNameStandsForTheFirstAttributeName)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.AddElement("r"));
    ASSERT_TRUE(doc.SetAttribute("", "x"));
    EXPECT_EQ(doc.GetText(), "<r =\"x\"/>\r\n");

    ASSERT_FALSE(doc.SetText(""));
    ASSERT_TRUE(doc.AddElement("r"));
    ASSERT_TRUE(doc.SetAttribute("image", "-1"));
    ASSERT_TRUE(doc.SetAttribute("b", "2"));
    ASSERT_TRUE(doc.SetAttribute("", "x<"));
    EXPECT_EQ(doc.GetText(), "<r x&lt;=\"-1\" b=\"2\"/>\r\n");
}

TEST(XmlEditingTest, AttributeOnAnElementWithChildrenMovesThem)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.AddElement("r"));
    ASSERT_TRUE(doc.AddChildElement("a"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AddChildElement("x"));
    ASSERT_TRUE(doc.SetChildAttribute("k", "1"));
    ASSERT_TRUE(doc.AddElement("b"));
    ASSERT_TRUE(doc.AddChildElement("y"));
    // A value set on b moves its child y and grows r.
    EXPECT_EQ(doc.GetCurElem(), 4);
    ASSERT_TRUE(doc.SetAttribute("v", "0123456789"));
    EXPECT_EQ(doc.GetText(),
              "<r>\r\n"
              "<a>\r\n"
              "<x k=\"1\"/>\r\n"
              "</a>\r\n"
              "<b v=\"0123456789\">\r\n"
              "<y/>\r\n"
              "</b>\r\n"
              "</r>\r\n");
    ExpectConsistent(doc);
}

TEST(XmlEditingTest, AddElementGoesAfterTheCurrentElement)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.AddElement("r"));
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.GetCurElem(), 0);
    ASSERT_TRUE(doc.AddElement("a")); // first child of an empty element
    ASSERT_TRUE(doc.AddElement("b")); // after a
    ASSERT_TRUE(doc.AddChildElement("c"));
    ASSERT_TRUE(doc.AddChildElement("d")); // after c
    ASSERT_TRUE(doc.EnterElement());       // parent b, current d
    ASSERT_TRUE(doc.AddChildElement("e"));
    EXPECT_EQ(doc.GetText(),
              "<r>\r\n"
              "<a/>\r\n"
              "<b>\r\n"
              "<c/>\r\n"
              "<d>\r\n"
              "<e/>\r\n"
              "</d>\r\n"
              "</b>\r\n"
              "</r>\r\n");
    EXPECT_EQ(doc.GetParentElem(), 3);
    EXPECT_EQ(doc.GetCurElem(), 5);
    EXPECT_EQ(doc.GetChildElem(), 6);
    ExpectConsistent(doc);
}

TEST(XmlEditingTest, NamesAreWrittenVerbatim)
{
    // The edits, the text they give and whether a new parse of the text
    // rebuilds the same tree; where it does not, the records must still
    // agree with the structure.
    struct CCase
    {
        bool (*edit)(CXmlDocument& doc);
        const char* pszText;
        bool bReparsed;
    };
    const CCase cases[] = {
        {[](CXmlDocument& doc) { return doc.AddElement("a b") && doc.SetAttribute("x\"y", "1"); },
         "<a b x\"y=\"1\"/>\r\n", false},
        // The search for an attribute ends at its own tag. Read as tokens,
        // the quote of a's verbatim name pairs with the quote of its empty
        // value, and the value's closing quote opens a quoted token that
        // runs into c: a search that went on would find c's "x" and
        // overwrite it.
        {[](CXmlDocument& doc) {
             return doc.AddElement("a") && doc.SetAttribute("\"", "") && doc.AddChildElement("c") &&
                 doc.SetChildAttribute("\"", "") && doc.SetChildAttribute("x", "2") &&
                 doc.SetAttribute("x", "3");
         },
         "<a \"=\"\" x=\"3\">\r\n<c \"=\"\" x=\"2\"/>\r\n</a>\r\n", false},
        // The end tag of an element that gains a child uses the scanned
        // name. The scanner ends a name only at white space, "/" or ">", so
        // the end tag written for "a?b" must carry the whole of it to close
        // it again.
        {[](CXmlDocument& doc) { return doc.AddElement("a?b") && doc.AddChildElement("c"); },
         "<a?b>\r\n<c/>\r\n</a?b>\r\n", true},
    };
    for (const CCase& c : cases) {
        CXmlDocument doc;
        ASSERT_TRUE(c.edit(doc)) << c.pszText;
        EXPECT_EQ(doc.GetText(), c.pszText);
        if (c.bReparsed)
            ExpectConsistent(doc);
        else
            EXPECT_EQ(xmlcheck::CheckRecords(doc, xmlcheck::ECheck::Structure), "") << c.pszText;
    }
}

TEST(XmlEditingTest, EditsThatWouldOverflowARecordFieldAreRefused)
{
    CXmlDocument doc;
    // "<" name "/>" must fit the start-tag field.
    EXPECT_FALSE(doc.AddElement(std::string(xml::kMaxStartTag - 2, 'n').c_str()));
    EXPECT_EQ(doc.GetText(), "");
    ASSERT_TRUE(doc.AddElement(std::string(xml::kMaxStartTag - 3, 'n').c_str()));
    EXPECT_EQ(doc.GetElement(1).cbStartTag, static_cast<uint32_t>(xml::kMaxStartTag));
    // No attribute fits any more.
    const std::string strFull = doc.GetText();
    EXPECT_FALSE(doc.SetAttribute("a", ""));
    EXPECT_EQ(doc.GetText(), strFull);

    // An empty element that gains a child gets an end tag "</" name ">".
    ASSERT_FALSE(doc.SetText(""));
    ASSERT_TRUE(doc.AddElement(std::string(xml::kMaxEndTag - 2, 'n').c_str()));
    const std::string strText = doc.GetText();
    EXPECT_FALSE(doc.AddChildElement("c"));
    EXPECT_EQ(doc.GetText(), strText);
    EXPECT_EQ(doc.GetElementCount(), 2);
    ASSERT_FALSE(doc.SetText(""));
    ASSERT_TRUE(doc.AddElement(std::string(xml::kMaxEndTag - 3, 'n').c_str()));
    ASSERT_TRUE(doc.AddChildElement("c"));
    EXPECT_EQ(doc.GetElement(1).cbEndTag, static_cast<uint32_t>(xml::kMaxEndTag));

    // A start tag that an attribute would grow past the field.
    ASSERT_FALSE(doc.SetText(""));
    ASSERT_TRUE(doc.AddElement("r"));
    // <r v="..."/> is 9 bytes around the value.
    EXPECT_FALSE(doc.SetAttribute("v", std::string(xml::kMaxStartTag - 8, 'x').c_str()));
    EXPECT_EQ(doc.GetText(), "<r/>\r\n");
    ASSERT_TRUE(doc.SetAttribute("v", std::string(xml::kMaxStartTag - 9, 'x').c_str()));
    EXPECT_EQ(doc.GetElement(1).cbStartTag, static_cast<uint32_t>(xml::kMaxStartTag));
    // A longer value through escaping is refused as well.
    EXPECT_FALSE(doc.SetAttribute("v", (std::string(xml::kMaxStartTag - 10, 'x') + "&").c_str()));
    ExpectConsistent(doc);
}

TEST(XmlEditingTest, ManyRowsAcrossRecordSegments)
{
    // The shape of the list export, past two segment boundaries.
    CXmlDocument doc;
    doc.SetText(kDeclaration);
    ASSERT_TRUE(doc.AddElement("dataroot"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AddElement("ListData"));
    const int nRows = 2 * CXmlDocument::kSegmentRecords + 10;
    for (int i = 0; i < nRows; ++i) {
        ASSERT_TRUE(doc.AddChildElement("Row"));
        ASSERT_TRUE(doc.SetChildAttribute("n", std::to_string(i).c_str()));
    }
    ASSERT_EQ(doc.GetElementCount(), nRows + 3);
    EXPECT_EQ(xmlcheck::CheckRecords(doc, xmlcheck::ECheck::Text), "");
    const std::string& strText = doc.GetText();
    const std::string strTail = "<Row n=\"131081\"/>\r\n</ListData>\r\n</dataroot>\r\n";
    ASSERT_GT(strText.size(), strTail.size());
    EXPECT_EQ(strText.substr(strText.size() - strTail.size()), strTail);
}

TEST(XmlEditingTest, EscapeMarkup)
{
    EXPECT_EQ(CXmlDocument::EscapeMarkup("a<b>&'\"c"), "a&lt;b&gt;&amp;&apos;&quot;c");
    EXPECT_EQ(CXmlDocument::EscapeMarkup(""), "");
    EXPECT_EQ(CXmlDocument::EscapeMarkup(nullptr), "");
}

} // namespace
