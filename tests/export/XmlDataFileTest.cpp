#include "export/XmlDataFile.h"

#include "support/PinnedClock.h"
#include "framework/ProductInfo.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace {

TEST(XmlDataFileTest, RootCarriesTheFileInformationBlock)
{
    const CPinnedClock clock;
    CXmlDataFile file;
    // The declaration alone holds no element, and that is what is returned.
    EXPECT_FALSE(file.InitDocument("dataroot"));
    EXPECT_EQ(file.GetDocumentText(),
              "<?xml version=\"1.0\"?>\r\n"
              "<dataroot version=\"2.5.0.0\" vendor=\"Brenlow LLC.\" "
              "url=\"https://brenlow.example?utm_source=Korvane_APP&amp;utm_medium=Korvane_APP&amp;"
              "utm_campaign=Korvane_APP\" mail=\"support@brenlow.example\" "
              "created=\"03/07/2011 14:05:09\" comments=\"Vessock Database File\"/>\r\n");
    EXPECT_EQ(file.GetDocument().GetParseError(), "Root element not found");
}

TEST(XmlDataFileTest, CreatedIsTheLocalTimeNow)
{
    platform::SetClock({});
    CXmlDataFile file;
    file.InitDocument("r");
    const std::regex created(" created=\"(\\d\\d)/(\\d\\d)/(\\d{4}) (\\d\\d):(\\d\\d):(\\d\\d)\" ");
    std::smatch match;
    const std::string strText = file.GetDocumentText();
    ASSERT_TRUE(std::regex_search(strText, match, created)) << strText;
    EXPECT_LE(std::stoi(match[1]), 12);
    EXPECT_LE(std::stoi(match[2]), 31);
    EXPECT_GE(std::stoi(match[3]), 2024);
    EXPECT_LE(std::stoi(match[4]), 23);
}

TEST(XmlDataFileTest, CreatedUsesA24HourClockAndTwoDigitFields)
{
    // 01/02/2003 23:04:05 in New York.
    const CPinnedClock clock(1041566645);
    CXmlDataFile file;
    file.InitDocument("r");
    EXPECT_NE(file.GetDocumentText().find(" created=\"01/02/2003 23:04:05\" "), std::string::npos)
        << file.GetDocumentText();
}

struct CNameCase
{
    std::string strTitle;
    std::string strName;
};

class XmlAttributeNameTest : public ::testing::TestWithParam<CNameCase>
{};

TEST_P(XmlAttributeNameTest, MakesAValidName)
{
    EXPECT_EQ(XmlAttributeName(GetParam().strTitle), GetParam().strName);
}

const CNameCase kNameCases[] = {
    // Valid names stay as trimming and "_" for spaces leave them.
    {"Name", "Name"},
    {" Some Col ", "Some_Col"},
    {"\t\r\n\v\fLast Used  Time\t", "Last_Used__Time"},
    {"image", "image"},
    {"a-b.c_9", "a-b.c_9"},
    {"caf\xC3\xA9", "caf\xC3\xA9"},
    {"\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},
    {"\xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x97\xA5\xE6\x9C\xAC"},
    {"xmlnsx", "xmlnsx"},
    // Nothing left, or a first character that may not start a name.
    {"", "_"},
    {"   ", "_"},
    {"1st", "_1st"},
    {"-x", "_-x"},
    {".x", "_.x"},
    {"\xC2\xB7x", "_\xC2\xB7x"}, // U+00B7 MIDDLE DOT continues names only
    // Bytes that may not stand in a name.
    {"a\tb", "a_b"},
    {"a<b", "a_b"},
    {"a&b", "a_b"},
    {"x=\"y'", "x__y_"},
    {"a/b>", "a_b_"},
    {"<", "_"},
    {"a:b", "a_b"},
    {"?!#$%()*+,;@[\\]^`{|}~", std::string(21, '_')},
    {"a\xC3\x97"
     "b",
     "a__b"}, // U+00D7 MULTIPLICATION SIGN
    {"a\xEF\xBF\xBE"
     "b",
     "a___b"}, // U+FFFE is no character of XML
    {"a\xFF"
     "b\x80",
     "a_b_"}, // not UTF-8
    {"a\x01"
     "b\x7F",
     "a_b_"},
    {std::string("a\0b", 3), "a_b"},
    // A namespace declaration is no cell.
    {"xmlns", "_xmlns"},
    // Cut at 255 bytes, even inside a character.
    {std::string(300, 'n'), std::string(255, 'n')},
    {std::string(254, 'n') + "\xC3\xA9", std::string(254, 'n') + "_"},
};

INSTANTIATE_TEST_SUITE_P(Titles, XmlAttributeNameTest, ::testing::ValuesIn(kNameCases));

TEST(XmlAttributeValueTest, BlanksWhatIsNotPrintableAndTrims)
{
    EXPECT_EQ(XmlAttributeValue("a\tb"), "a b");
    EXPECT_EQ(XmlAttributeValue("  x y \r\n"), "x y");
    EXPECT_EQ(XmlAttributeValue("\x01x\x7F"), "x");
    EXPECT_EQ(XmlAttributeValue("b<1 & \"q\""), "b<1 & \"q\""); // escaped when written
    EXPECT_EQ(XmlAttributeValue("caf\xC3\xA9 \xE2\x82\xAC"), "caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(XmlAttributeValue("a\xFF"
                                "b\xC3"),
              "a b");
    EXPECT_EQ(XmlAttributeValue("a\xEF\xBF\xBE"
                                "b\xEF\xBF\xBF"),
              "a   b");
    EXPECT_EQ(XmlAttributeValue(std::string("a\0b", 3)), "a b");
    EXPECT_EQ(XmlAttributeValue(std::string(300, 'v')), std::string(255, 'v'));
    // The cut splits the last character; its lead byte becomes a space and
    // the trim removes it.
    EXPECT_EQ(XmlAttributeValue(std::string(254, 'v') + "\xC3\xA9"), std::string(254, 'v'));
}

} // namespace
