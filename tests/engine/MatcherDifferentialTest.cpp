// The engine's matcher against the plain reference, on seeded random
// templates, tags, character sets and data, with the corner cases where
// values or literal text hold conversion, percent or placeholder text.
#include "engine/ParseResult.h"
#include "engine/TemplateMatcher.h"
#include "support/ReferenceMatcher.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

struct CCase
{
    CString strStart;
    CString strEnd;
    CString strAllowed;
    CString strLineBreak;
    CString strTemplate;
    CString strData;
};

class CGenerator
{
public:
    explicit CGenerator(unsigned nSeed) : m_rng(nSeed) {}

    CCase Next()
    {
        static const std::vector<std::pair<const char*, const char*>> kTags = {
            {"<$$", "$$>"}, {"<$$", "$$>"}, {"<$$", "$$>"}, {"[[", "]]"}, {"%", "s"},
            {"$$", "$$"},   {"", ">"},      {"<", ""},      {"{", "}"},   {"s<", ">"},
        };
        static const std::vector<const char*> kAllowed = {
            "0-9-a-z-A-Z-@-.-:-/-_", "0-9-a-z-A-Z-@-.-:-/-_", "", "^ ", "a-z%", "]x", " -~",
            "^,", "a-z<$>", "^", "]", "%[a]", "a-z-<-$", "0-9",
        };
        static const std::vector<const char*> kBreaks = {"\r\n", "\r\n", "\n", ";", ""};
        CCase c;
        const auto& tags = Pick(kTags);
        c.strStart = tags.first;
        c.strEnd = tags.second;
        c.strAllowed = Pick(kAllowed);
        c.strLineBreak = Pick(kBreaks);

        const int nLines = Uniform(1, 4);
        std::vector<std::vector<std::string>> lines; // tokens; placeholders marked with a leading \x01
        for (int i = 0; i < nLines; ++i) {
            std::vector<std::string> tokens;
            const int nTokens = Uniform(0, 6);
            for (int t = 0; t < nTokens; ++t) {
                if (Uniform(0, 2) == 0)
                    tokens.push_back(Literal());
                else
                    tokens.push_back("\x01" + Placeholder(c));
            }
            lines.push_back(tokens);
        }
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i > 0)
                c.strTemplate += "\r\n";
            for (const std::string& token : lines[i])
                c.strTemplate += token[0] == '\x01' ? token.substr(1) : token;
        }
        if (Uniform(0, 9) == 0)
            c.strTemplate = " \r\n" + c.strTemplate + "\r\n ";

        const int nRecords = Uniform(0, 5);
        for (int r = 0; r < nRecords; ++r) {
            for (size_t i = 0; i < lines.size(); ++i) {
                if (Uniform(0, 12) == 0)
                    c.strData += Uniform(0, 1) ? "\r\n" : "  \t\r\n";
                if (Uniform(0, 15) == 0) {
                    c.strData += Literal() + "\r\n";
                    continue;
                }
                for (const std::string& token : lines[i]) {
                    if (token[0] == '\x01')
                        c.strData += Value(c, token.substr(1));
                    else
                        c.strData += Uniform(0, 20) == 0 ? Literal() : token;
                    if (Uniform(0, 25) == 0)
                        c.strData += " ";
                }
                c.strData += Uniform(0, 30) == 0 ? "\n" : "\r\n";
            }
        }
        return c;
    }

private:
    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    template <class T>
    const T& Pick(const std::vector<T>& items)
    {
        return items[static_cast<size_t>(Uniform(0, static_cast<int>(items.size()) - 1))];
    }

    std::string Literal()
    {
        static const std::vector<std::string> kPieces = {
            "a", "b", "x", " ", "  ", "\t", ":", ",", "-", "Name:", "%", "%%", "%[a]", "%s",
            "<", "$", ">", "]", "<$$", "$$>", "[[", "s", "{$$", "$$}", "\xC3\xA9",
        };
        std::string text;
        const int n = Uniform(1, 3);
        for (int i = 0; i < n; ++i)
            text += Pick(kPieces);
        return text;
    }

    std::string Placeholder(const CCase& c)
    {
        static const std::vector<std::string> kNames = {"a", "b", "A", "id", "a b"};
        static const std::vector<std::string> kSets = {"",     "",     "",     "0-9",  "^,",
                                                       " -~", "%a-z", "]",    "^",    "a-z<$>"};
        std::string ph = c.strStart + Pick(kNames);
        const std::string set = Pick(kSets);
        if (!set.empty() || Uniform(0, 20) == 0)
            ph += "{$$" + set + "$$}";
        return ph + c.strEnd;
    }

    std::string Value(const CCase& c, const std::string& ph)
    {
        static const std::vector<std::string> kValues = {
            "42",   "ann",    "x-y",  "a b",      "%[0-9-a-z-A-Z-@-.-:-/-_]", "%%", "%",
            "<$$a$$>", "$$>", "<",    "a,b",      "\xC3\xA9t\xC3\xA9",        "", "]]",
            "%s",   "<a>",    "s",    "$$",       "{x}",                      "1.5",
        };
        switch (Uniform(0, 6)) {
        case 0:
            return ph; // the placeholder text itself
        case 1:
            return "%[" + c.strAllowed + "]";
        default:
            return Pick(kValues);
        }
    }

    std::mt19937 m_rng;
};

std::string Describe(const CCase& c)
{
    auto quote = [](const std::string& s) {
        std::string out;
        for (const char ch : s) {
            if (ch == '\r')
                out += "\\r";
            else if (ch == '\n')
                out += "\\n";
            else if (ch == '\t')
                out += "\\t";
            else
                out += ch;
        }
        return "\"" + out + "\"";
    };
    return "tags " + quote(c.strStart) + " " + quote(c.strEnd) + ", allowed " + quote(c.strAllowed) +
           ", break " + quote(c.strLineBreak) + "\ntemplate " + quote(c.strTemplate) + "\ndata " +
           quote(c.strData);
}

} // namespace

TEST(MatcherDifferential, AgreesWithTheReferenceOnRandomInput)
{
    CGenerator generator(20261209);
    int nMismatches = 0;
    for (int i = 0; i < 6000 && nMismatches < 3; ++i) {
        const CCase c = generator.Next();
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
        if (!bSame) {
            ++nMismatches;
            ADD_FAILURE() << "case " << i << ": " << Describe(c) << "\nvalues " << actual.size()
                          << " vs reference " << expected.values.size();
        }
    }
    EXPECT_EQ(nMismatches, 0);
}

TEST(MatcherDifferential, CornerCasesWhereValuesLookLikePatternText)
{
    struct CFixed
    {
        const char* pszTemplate;
        const char* pszData;
        const char* pszAllowed;
    };
    const CFixed cases[] = {
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
    for (const CFixed& c : cases) {
        const CReferenceRun expected =
            ReferenceParse(c.pszData, c.pszTemplate, "\r\n", "<$$", "$$>", c.pszAllowed);
        CTemplateMatcher matcher;
        matcher.SetSettings("<$$", "$$>", c.pszAllowed);
        CParseResult result;
        EXPECT_EQ(matcher.Parse(&result, c.pszData, c.pszTemplate, "\r\n"), expected.bComplete);
        std::vector<std::pair<CString, CString>> actual;
        for (const CFieldValue& value : result.m_listValues)
            actual.emplace_back(value.m_strName, value.m_strValue);
        EXPECT_EQ(actual, expected.values) << c.pszTemplate << " / " << c.pszData;
    }
}

TEST(MatcherDifferential, LargeTextsParsedInPartsAgreeWithTheReference)
{
    // Texts this large are parsed in two parts; the second part's first
    // template line is counted, not matched. Blank data lines (skipped) and
    // a blank template line (which a blank data line does match) shift that
    // count, and a separator line that does not match stops the parse in
    // the first part, in the second, or not at all.
    const CString strTemplate = "Host: <$$host$$>\r\n\r\nUser: <$$user{$$^ $$}$$> id <$$id$$>\r\n-----";
    for (int nBreakAt : {-1, 20000, 120000}) {
        std::mt19937 rng(static_cast<unsigned>(nBreakAt + 2));
        CString strData;
        for (int i = 0; strData.size() < (size_t{33} << 18); ++i) {
            strData += "Host: h" + std::to_string(rng() % 100000) + ".example\r\n";
            if (rng() % 7 == 0)
                strData += "   \r\n";
            strData += "\r\n";
            if (rng() % 5 == 0)
                strData += "\r\n";
            strData += "User: name" + std::to_string(i) + " id " + std::to_string(rng() % 999) + "\r\n";
            strData += i == nBreakAt ? "=====\r\n" : "-----\r\n";
        }
        const CReferenceRun expected =
            ReferenceParse(strData, strTemplate, "\r\n", "<$$", "$$>", kDefaultAllowedChars);
        CTemplateMatcher matcher;
        matcher.SetSettings("<$$", "$$>", kDefaultAllowedChars);
        CParseResult result;
        EXPECT_EQ(matcher.Parse(&result, strData, strTemplate, "\r\n"), expected.bComplete) << nBreakAt;
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
