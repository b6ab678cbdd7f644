// The engine's matcher against the plain reference, on seeded random
// templates, tags, character sets and data, with the corner cases where
// values or literal text hold conversion, percent or placeholder text.
#include "support/RandomCaseRun.h"
#include "support/RandomParseCase.h"
#include "support/ReferenceMatcher.h"
#include "engine/ParseResult.h"
#include "engine/TemplateMatcher.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

TEST(MatcherDifferential, AgreesWithTheReferenceOnRandomInput)
{
    CheckRandomCases(20261209, 6000, [](int i, const CParseCase& c) {
        const CReferenceRun expected = ReferenceParse(c.strData, c.strTemplate, c.strLineBreak,
                                                      c.strStart, c.strEnd, c.strAllowed);
        CTemplateMatcher matcher;
        matcher.SetSettings(c.strStart, c.strEnd, c.strAllowed);
        CParseResult result;
        const bool bComplete = matcher.Parse(&result, c.strData, c.strTemplate, c.strLineBreak);
        std::vector<std::pair<CString, CString>> actual;
        for (const CFieldValue& value : result.m_listValues)
            actual.emplace_back(value.m_strName, value.m_strValue);
        const bool bSame = bComplete == expected.bComplete && actual == expected.values &&
            static_cast<const CStringArray&>(result.m_arrFieldNames) == expected.fieldNames;
        if (!bSame)
            ADD_FAILURE() << "case " << i << ": " << Describe(c) << "\nvalues " << actual.size()
                          << " vs reference " << expected.values.size();
        return bSame;
    });
}

TEST(MatcherDifferential, CornerCasesWhereValuesLookLikePatternText)
{
    // A template, the data and the allowed characters.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"<$$a{$$^ $$}$$> <$$b$$>", "%[0-9-a-z-A-Z-@-.-:-/-_] 9", kDefaultAllowedChars},
        {"<$$a{$$^ $$}$$> <$$b$$>", "<$$b$$> 9", kDefaultAllowedChars},
        {"<$$a{$$^ $$}$$> x <$$b$$>", "<$$b x 9", kDefaultAllowedChars},
        {"<$$a{$$^ $$}$$>$$b$$> <$$c$$>", "< 1 2", kDefaultAllowedChars},
        {"<$$a$$>,<$$b$$>", "x,y", ""},
        {"<$$a$$> ]<$$b$$>", "]]] ]x", ""},
        {"<$$a$$><$$b$$>", "12", "0-9"},
        {"<$$a{$$^,$$}$$>,<$$b$$>,<$$c$$>", ",x,y", kDefaultAllowedChars},
        {"<$$a{$$ -~$$}$$>", "anything %% goes", kDefaultAllowedChars},
        {"x<$$a$$>y<$$b$$>", "x##y5", kDefaultAllowedChars},
    };
    for (const auto& [pszTemplate, pszData, pszAllowed] : cases) {
        const CReferenceRun expected =
            ReferenceParse(pszData, pszTemplate, "\r\n", "<$$", "$$>", pszAllowed);
        CTemplateMatcher matcher;
        matcher.SetSettings("<$$", "$$>", pszAllowed);
        CParseResult result;
        EXPECT_EQ(matcher.Parse(&result, pszData, pszTemplate, "\r\n"), expected.bComplete);
        std::vector<std::pair<CString, CString>> actual;
        for (const CFieldValue& value : result.m_listValues)
            actual.emplace_back(value.m_strName, value.m_strValue);
        EXPECT_EQ(actual, expected.values) << pszTemplate << " / " << pszData;
    }
}

TEST(MatcherDifferential, LargeTextsParsedInPartsAgreeWithTheReference)
{
    // Texts this large are parsed in two parts; the second part's first
    // template line is counted, not matched. Blank data lines (skipped) and
    // a blank template line (which a blank data line does match) shift that
    // count, and a separator line that does not match stops the parse in
    // the first part, in the second, or not at all.
    const CString strTemplate =
        "Host: <$$host$$>\r\n\r\nUser: <$$user{$$^ $$}$$> id <$$id$$>\r\n-----";
    for (int nBreakAt : {-1, 20000, 120000}) {
        std::mt19937 rng(static_cast<unsigned>(nBreakAt + 2));
        CString strData;
        for (int i = 0; strData.size() < (size_t{33} << 18); ++i)
            strData += HostRecord(rng, i, nBreakAt);
        const CReferenceRun expected =
            ReferenceParse(strData, strTemplate, "\r\n", "<$$", "$$>", kDefaultAllowedChars);
        CTemplateMatcher matcher;
        matcher.SetSettings("<$$", "$$>", kDefaultAllowedChars);
        CParseResult result;
        EXPECT_EQ(matcher.Parse(&result, strData, strTemplate, "\r\n"), expected.bComplete)
            << nBreakAt;
        EXPECT_EQ(expected.bComplete, nBreakAt < 0);
        ASSERT_EQ(result.m_listValues.size(), expected.values.size()) << nBreakAt;
        size_t nDiffer = 0;
        size_t i = 0;
        for (const CFieldValue& value : result.m_listValues) {
            nDiffer += value.m_strName != expected.values[i].first ||
                value.m_strValue != expected.values[i].second;
            ++i;
        }
        EXPECT_EQ(nDiffer, 0u) << nBreakAt;
    }
}
