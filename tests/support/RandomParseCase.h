#pragma once
// Seeded random parse cases: templates, tags, character sets, line-break
// texts and data, with the corner cases where values or literal text hold
// conversion, percent or placeholder text.

#include "framework/StringTypes.h"

#include <random>
#include <string>
#include <utility>
#include <vector>

struct CParseCase
{
    CString strStart;
    CString strEnd;
    CString strAllowed;
    CString strLineBreak;
    CString strTemplate;
    CString strData;
};

class CParseCaseGenerator
{
public:
    explicit CParseCaseGenerator(unsigned nSeed) : m_rng(nSeed) {}

    CParseCase Next()
    {
        static const std::vector<std::pair<const char*, const char*>> kTags = {
            {"<$$", "$$>"}, {"<$$", "$$>"}, {"<$$", "$$>"}, {"[[", "]]"}, {"%", "s"},
            {"$$", "$$"},   {"", ">"},      {"<", ""},      {"{", "}"},   {"s<", ">"},
        };
        static const std::vector<const char*> kAllowed = {
            "0-9-a-z-A-Z-@-.-:-/-_",
            "0-9-a-z-A-Z-@-.-:-/-_",
            "",
            "^ ",
            "a-z%",
            "]x",
            " -~",
            "^,",
            "a-z<$>",
            "^",
            "]",
            "%[a]",
            "a-z-<-$",
            "0-9",
        };
        static const std::vector<const char*> kBreaks = {"\r\n", "\r\n", "\n", ";", ""};
        CParseCase c;
        const auto& tags = Pick(kTags);
        c.strStart = tags.first;
        c.strEnd = tags.second;
        c.strAllowed = Pick(kAllowed);
        c.strLineBreak = Pick(kBreaks);

        const int nLines = Uniform(1, 4);
        std::vector<std::vector<std::string>>
            lines; // tokens; placeholders marked with a leading \x01
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
            for (const std::vector<std::string>& tokens : lines) {
                if (Uniform(0, 12) == 0)
                    c.strData += Uniform(0, 1) ? "\r\n" : "  \t\r\n";
                if (Uniform(0, 15) == 0) {
                    c.strData += Literal() + "\r\n";
                    continue;
                }
                for (const std::string& token : tokens) {
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
            "a",  "b", "x", " ", "  ", "\t",  ":",   ",",  "-", "Name:", "%",   "%%",       "%[a]",
            "%s", "<", "$", ">", "]",  "<$$", "$$>", "[[", "s", "{$$",   "$$}", "\xC3\xA9",
        };
        std::string text;
        const int n = Uniform(1, 3);
        for (int i = 0; i < n; ++i)
            text += Pick(kPieces);
        return text;
    }

    std::string Placeholder(const CParseCase& c)
    {
        static const std::vector<std::string> kNames = {"a", "b", "A", "id", "a b"};
        static const std::vector<std::string> kSets = {"",    "",     "",  "0-9", "^,",
                                                       " -~", "%a-z", "]", "^",   "a-z<$>"};
        std::string ph = c.strStart + Pick(kNames);
        const std::string set = Pick(kSets);
        if (!set.empty() || Uniform(0, 20) == 0)
            ph += "{$$" + set + "$$}";
        return ph + c.strEnd;
    }

    std::string Value(const CParseCase& c, const std::string& ph)
    {
        static const std::vector<std::string> kValues = {
            "42",
            "ann",
            "x-y",
            "a b",
            "%[0-9-a-z-A-Z-@-.-:-/-_]",
            "%%",
            "%",
            "<$$a$$>",
            "$$>",
            "<",
            "a,b",
            "\xC3\xA9t\xC3\xA9",
            "",
            "]]",
            "%s",
            "<a>",
            "s",
            "$$",
            "{x}",
            "1.5",
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

inline std::string Describe(const CParseCase& c)
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
    return "tags " + quote(c.strStart) + " " + quote(c.strEnd) + ", allowed " +
        quote(c.strAllowed) + ", break " + quote(c.strLineBreak) + "\ntemplate " +
        quote(c.strTemplate) + "\ndata " + quote(c.strData);
}

// Record i of a large host list for the template
// "Host: <$$host$$>", an optional blank line, "User: <$$user{$$^ $$}$$> id
// <$$id$$>", "-----": blank lines come at random, the user name ends with
// strNameEnd, and record nBreakAt has "=====" as its separator.
inline std::string HostRecord(std::mt19937& rng, int i, int nBreakAt,
                              const std::string& strNameEnd = "")
{
    std::string record = "Host: h" + std::to_string(rng() % 100000) + ".example\r\n";
    if (rng() % 7 == 0)
        record += "   \r\n";
    record += "\r\n";
    if (rng() % 5 == 0)
        record += "\r\n";
    record += "User: name" + std::to_string(i) + strNameEnd + " id " + std::to_string(rng() % 999) +
        "\r\n";
    record += i == nBreakAt ? "=====\r\n" : "-----\r\n";
    return record;
}
