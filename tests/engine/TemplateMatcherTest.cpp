#include "engine/TemplateMatcher.h"

#include "engine/ParseResult.h"

#include <gtest/gtest.h>

namespace {

// The values of a run as "name=value" pairs joined by "; ".
std::string Values(const CParseResult& result)
{
    std::string out;
    for (const CFieldValue& v : result.m_listValues) {
        if (!out.empty())
            out += "; ";
        out += v.m_strName + "=" + v.m_strValue;
    }
    return out;
}

struct CRun
{
    bool bComplete = false;
    std::string strValues;
};

CRun RunParse(const CString& strTemplate, const CString& strData,
              const CString& strAllowed = kDefaultAllowedChars, const CString& strStart = "<$$",
              const CString& strEnd = "$$>")
{
    CTemplateMatcher matcher;
    matcher.SetSettings(strStart, strEnd, strAllowed);
    CParseResult result;
    CRun run;
    run.bComplete = matcher.Parse(&result, strData, strTemplate, "\r\n");
    run.strValues = Values(result);
    return run;
}

struct CLineCase
{
    const char* pszTemplate;
    const char* pszData;
    const char* pszValues;
};

} // namespace

TEST(TemplateMatcher, DefaultSettings)
{
    const CTemplateMatcher matcher;
    EXPECT_EQ(matcher.m_strStartTag, "<$$");
    EXPECT_EQ(matcher.m_strEndTag, "$$>");
    EXPECT_EQ(matcher.m_strScanFormat, "%[0-9-a-z-A-Z-@-.-:-/-_]");
}

TEST(TemplateMatcher, OneLineMatches)
{
    const CLineCase cases[] = {
        {"Name: <$$n$$>", "Name:John", "<$$n$$>=John"},
        {"Name:<$$n$$>", "Name: John", ""},
        {"<$$a$$>,<$$b$$>", "12,34", "<$$a$$>=12; <$$b$$>=34"},
        {"<$$a$$>,<$$b$$>", "12-34,5", "<$$a$$>=12-34; <$$b$$>=5"},
        {"<$$a$$>-<$$b$$>", "12-34", "<$$a$$>=12-34"},
        {"x<$$a$$>y<$$b$$>", "x##y5", ""},
        {"<$$t{$$^,$$}$$>,<$$u$$>", "a b c,42", "<$$t{$$^,$$}$$>=a b c; <$$u$$>=42"},
        // Template white space matches any amount of data white space.
        {"Id:\t <$$id$$>", "Id:id7", "<$$id$$>=id7"},
        {"Id: <$$id$$>", "Id: \t  id7", "<$$id$$>=id7"},
        // Data after the field does not matter; the run is the longest.
        {"<$$a$$> end", "abc,def", "<$$a$$>=abc"},
        // Two percent signs stand for one; a lone one is an ordinary byte.
        {"100%% <$$p$$>", "100% up", "<$$p$$>=up"},
        {"5% <$$p$$>", "5% x", "<$$p$$>=x"},
        {"%d <$$p$$>", "%d x", "<$$p$$>=x"},
        // An earlier value that looks like a conversion is read as one when
        // the next field's pattern is scanned.
        {"<$$a{$$^ $$}$$> <$$b$$>", "%[a] 9", "<$$a{$$^ $$}$$>=%[a]"},
        // The same placeholder twice is listed once; ":" is in the set.
        {"<$$a$$>:<$$a$$>", "1:2", "<$$a$$>=1:2"},
        // A leading ] is a member, so "%[]]" lists it; "%[^]" never closes.
        {"<$$a{$$]$$}$$>", "]]]", "<$$a{$$]$$}$$>=]]]"},
        {"<$$a{$$^$$}$$>", "anything", ""},
    };
    for (const CLineCase& c : cases) {
        const CRun run = RunParse(c.pszTemplate, c.pszData);
        EXPECT_TRUE(run.bComplete) << c.pszTemplate;
        EXPECT_EQ(run.strValues, c.pszValues) << c.pszTemplate << " / " << c.pszData;
    }
}

TEST(TemplateMatcher, LaterFieldsSeeEarlierValuesInThePattern)
{
    // The value of a becomes literal text in b's pattern: "-" is in the set,
    // so a takes "1-2" and b's pattern is "1-2-%[...]", which the data ends.
    EXPECT_EQ(RunParse("<$$a$$>-<$$b$$>", "1-2").strValues, "<$$a$$>=1-2");
    // With a custom set for a that stops at "-", b follows.
    EXPECT_EQ(RunParse("<$$a{$$0-9$$}$$>-<$$b$$>", "1-2").strValues,
              "<$$a{$$0-9$$}$$>=1; <$$b$$>=2");
    // A field that records nothing leaves the previous value in the pattern:
    // b stands as a's value when c is scanned.
    EXPECT_EQ(RunParse("<$$a$$> <$$b$$> <$$c$$>", "x , y").strValues, "<$$a$$>=x");
}

TEST(TemplateMatcher, CyclicTemplateAndLiteralLines)
{
    const CString tmpl = "A: <$$a$$>\r\n-----\r\nB: <$$b$$>";
    CString data;
    for (int i = 0; i < 3; ++i)
        data += "A: a" + std::to_string(i) + "\r\n-----\r\nB: b" + std::to_string(i) + "\r\n";
    const CRun run = RunParse(tmpl, data);
    EXPECT_TRUE(run.bComplete);
    EXPECT_EQ(run.strValues,
              "<$$a$$>=a0; <$$b$$>=b0; <$$a$$>=a1; <$$b$$>=b1; <$$a$$>=a2; <$$b$$>=b2");

    const CString broken = "A: a0\r\n-----\r\nB: b0\r\nA: a1\r\n----\r\nB: b1";
    const CRun stopped = RunParse(tmpl, broken);
    EXPECT_FALSE(stopped.bComplete);
    EXPECT_EQ(stopped.strValues, "<$$a$$>=a0; <$$b$$>=b0; <$$a$$>=a1");
}

TEST(TemplateMatcher, BlankLines)
{
    // Blank data lines between records are skipped.
    EXPECT_EQ(RunParse("<$$a$$>", "x\r\n\r\n  \r\ny").strValues, "<$$a$$>=x; <$$a$$>=y");
    // A blank template line needs a blank data line in its place.
    const CString tmpl = "<$$a$$>\r\n\r\n<$$b$$>";
    EXPECT_EQ(RunParse(tmpl, "1\r\n\r\n2").strValues, "<$$a$$>=1; <$$b$$>=2");
    const CRun stopped = RunParse(tmpl, "1\r\nx\r\n2");
    EXPECT_FALSE(stopped.bComplete);
    EXPECT_EQ(stopped.strValues, "<$$a$$>=1");
}

TEST(TemplateMatcher, TooFewDataLinesAndEmptyTexts)
{
    const CRun shortData = RunParse("<$$a$$>\r\n<$$b$$>\r\n<$$c$$>", "1\r\n2");
    EXPECT_TRUE(shortData.bComplete);
    EXPECT_EQ(shortData.strValues, "");

    const CRun empty = RunParse("", "");
    EXPECT_TRUE(empty.bComplete);
    EXPECT_EQ(empty.strValues, "");

    const CRun emptyTemplate = RunParse("", "data");
    EXPECT_FALSE(emptyTemplate.bComplete);
    EXPECT_EQ(emptyTemplate.strValues, "");
}

TEST(TemplateMatcher, TrimmingAndLineFeedOnlyData)
{
    EXPECT_EQ(RunParse("  <$$a$$>  ", "\r\n  v1  \r\n").strValues, "<$$a$$>=v1");
    // Without CR LF the data is one line, and LF is white space in the scan.
    EXPECT_EQ(RunParse("x: <$$a$$>", "x:\nv\ny: w").strValues, "<$$a$$>=v");
}

TEST(TemplateMatcher, OtherTagsAndEmptySettings)
{
    EXPECT_EQ(RunParse("[[id]] [[name]]", "7 ann", kDefaultAllowedChars, "[[", "]]").strValues,
              "[[id]]=7; [[name]]=ann");
    // An empty end tag finds no placeholder: the line is literal.
    EXPECT_FALSE(RunParse("<$$a$$>", "x", kDefaultAllowedChars, "<$$", "").bComplete);
    // Empty allowed characters give a set without its closing bracket.
    EXPECT_EQ(RunParse("<$$a$$>", "x]", "").strValues, "");
    // A set that starts with ] needs another ] to close.
    EXPECT_EQ(RunParse("<$$a$$>", "]]x", "]").strValues, "<$$a$$>=]]");
    EXPECT_EQ(RunParse("<$$a$$>", "]]x", "]x").strValues, "<$$a$$>=]]x");
}

TEST(TemplateMatcher, GetCustomCharset)
{
    CString set = "unchanged";
    EXPECT_FALSE(CTemplateMatcher::GetCustomCharset(set, "<$$n{$$$$}$$>"));
    EXPECT_EQ(set, "unchanged");
    EXPECT_FALSE(CTemplateMatcher::GetCustomCharset(set, "<$$n$$>"));
    EXPECT_TRUE(CTemplateMatcher::GetCustomCharset(set, "<$$n{$$^,$$}$$>"));
    EXPECT_EQ(set, "^,");
    EXPECT_TRUE(CTemplateMatcher::GetCustomCharset(set, "<$$price{$$0-9.,$$}$$>"));
    EXPECT_EQ(set, "0-9.,");
}

TEST(TemplateMatcher, ScanIsAnchoredAtTheLineStart)
{
    CString value;
    EXPECT_FALSE(CTemplateMatcher::Scan("xx Name: a", "Name: %[a-z]", value));
    EXPECT_TRUE(CTemplateMatcher::Scan("Name: abc1", "Name: %[a-z]", value));
    EXPECT_EQ(value, "abc");
    EXPECT_FALSE(CTemplateMatcher::Scan("Name:", "Name:%[a-z]", value));
    EXPECT_FALSE(CTemplateMatcher::Scan("Name", "Name", value));
}

TEST(TemplateMatcher, ResultsKeepTheirValuesWhenCopiedOrMoved)
{
    // Values are places in the data: in a kept copy of it (Parse), or in the
    // caller's text (ParseText). Short texts live inside the string object,
    // so a copied or moved result must find its values in its own copy.
    CTemplateMatcher matcher;
    for (const CString& strData :
         {CString("a: 1\r\nb: 2"), CString("a: " + std::string(100, '7') + "\r\nb: 2")}) {
        const CString strTemplate = "a: <$$a$$>\r\nb: <$$b$$>";
        CParseResult kept;
        ASSERT_TRUE(matcher.Parse(&kept, strData, strTemplate, "\r\n"));
        CParseResult borrowed;
        ASSERT_TRUE(matcher.ParseText(&borrowed, strData, strTemplate, "\r\n"));
        const std::string strExpected = Values(kept);
        EXPECT_EQ(Values(borrowed), strExpected);
        EXPECT_EQ(borrowed.m_listValues.GetSource().data(), strData.data());

        for (CParseResult* pResult : {&kept, &borrowed}) {
            CParseResult copy;
            copy.m_listValues = pResult->m_listValues;
            CValueList moved = std::move(copy.m_listValues);
            CParseResult assigned;
            assigned.m_listValues = std::move(moved);
            EXPECT_EQ(Values(assigned), strExpected);
            CValueList constructed(assigned.m_listValues);
            copy.m_listValues = std::move(constructed);
            EXPECT_EQ(Values(copy), strExpected);
        }
    }
}
