#include "ReferenceMatcher.h"

// Nothing of the engine is used here: its faults must not hide on both
// sides of the comparison. Every step is the rule as it reads, with no
// thought for speed.

#include <string>
#include <vector>

namespace {

using std::string;
using std::vector;

const size_t npos = string::npos;

bool IsWhite(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

string Trim(const string& text)
{
    size_t nFirst = 0;
    size_t nEnd = text.size();
    while (nFirst < nEnd && IsWhite(text[nFirst]))
        ++nFirst;
    while (nEnd > nFirst && IsWhite(text[nEnd - 1]))
        --nEnd;
    return text.substr(nFirst, nEnd - nFirst);
}

// Every occurrence from left to right; the search goes on after the text
// put in, so that text is never searched again.
void ReplaceAll(string& text, const string& strOld, const string& strNew)
{
    if (strOld.empty())
        return;
    for (size_t nAt = text.find(strOld); nAt != npos; nAt = text.find(strOld, nAt + strNew.size()))
        text.replace(nAt, strOld.size(), strNew);
}

// The text cut at each separator, after its leading bytes that occur in the
// separator are dropped and one separator is added at its end. An empty
// separator leaves the text whole.
vector<string> Split(const string& text, const string& strSep)
{
    if (strSep.empty())
        return {text};
    size_t nStart = 0;
    while (nStart < text.size() && strSep.find(text[nStart]) != npos)
        ++nStart;
    const string w = text.substr(nStart) + strSep;
    vector<string> pieces;
    size_t nFrom = 0;
    for (size_t nAt = w.find(strSep); nAt != npos; nAt = w.find(strSep, nFrom)) {
        pieces.push_back(w.substr(nFrom, nAt - nFrom));
        nFrom = nAt + strSep.size();
    }
    return pieces;
}

// From the first start tag to the end of the first end tag, when that end
// tag begins after the start tag. Both are searched from the beginning.
bool FirstPlaceholder(const string& text, const string& strStart, const string& strEnd,
                      string& strOut)
{
    const size_t p = text.find(strStart);
    const size_t q = text.find(strEnd);
    if (p == npos || q == npos || q <= p)
        return false;
    strOut = text.substr(p, q - p + strEnd.size());
    return true;
}

// The placeholders of a line, each text once, in the order they are found:
// each is replaced everywhere by the marker before the next is looked for.
// When the marker forms a placeholder found before, the list ends there; it
// also ends after as many placeholders as the line has bytes, plus one.
vector<string> Placeholders(const string& line, const string& strStart, const string& strEnd,
                            const string& strMarker)
{
    vector<string> found;
    string w = line;
    string ph;
    while (FirstPlaceholder(w, strStart, strEnd, ph)) {
        for (const string& earlier : found) {
            if (earlier == ph)
                return found;
        }
        if (found.size() == line.size() + 1)
            return found;
        found.push_back(ph);
        ReplaceAll(w, ph, strMarker);
    }
    return found;
}

// The set between "{$$" and "$$}" in a placeholder, markers inside it
// dropped; empty when there is none.
string CustomSet(const string& ph)
{
    string strSet;
    if (!FirstPlaceholder(ph, "{$$", "$$}", strSet))
        return {};
    ReplaceAll(strSet, "{$$", "");
    ReplaceAll(strSet, "$$}", "");
    return strSet;
}

// Reads the set text at pattern[p] (just after "%[") up to the "]" that
// closes it. False when no "]" closes it.
bool ReadSet(const string& pattern, size_t p, bool bMember[256])
{
    bool bListed[256] = {};
    bool bNegate = false;
    if (p < pattern.size() && pattern[p] == '^') {
        bNegate = true;
        ++p;
    }
    int nPrevious = -1; // none
    if (p < pattern.size() && pattern[p] == ']') {
        bListed[static_cast<unsigned char>(']')] = true;
        nPrevious = ']';
        ++p;
    }
    for (;;) {
        if (p >= pattern.size())
            return false;
        const int c = static_cast<unsigned char>(pattern[p]);
        if (c == ']')
            break;
        const bool bRange =
            c == '-' && nPrevious >= 0 && p + 1 < pattern.size() && pattern[p + 1] != ']';
        if (bRange) {
            const int nOther = static_cast<unsigned char>(pattern[p + 1]);
            const int nLow = nPrevious < nOther ? nPrevious : nOther;
            const int nHigh = nPrevious < nOther ? nOther : nPrevious;
            for (int b = nLow; b <= nHigh; ++b)
                bListed[b] = true;
            nPrevious = -1;
            p += 2;
        } else {
            bListed[c] = true;
            nPrevious = c;
            ++p;
        }
    }
    for (int b = 0; b < 256; ++b)
        bMember[b] = bListed[b] != bNegate;
    return true;
}

// The data line against the pattern from the start of both: white space in
// the pattern skips any white space in the data, "%%" is one percent sign,
// any other byte (a lone "%" too) must be the next data byte, and the first
// "%[" takes the longest non-empty run of its set, which ends the scan.
bool Scan(const string& data, const string& pattern, string& strValue)
{
    size_t d = 0;
    size_t p = 0;
    while (p < pattern.size()) {
        if (IsWhite(pattern[p])) {
            while (p < pattern.size() && IsWhite(pattern[p]))
                ++p;
            while (d < data.size() && IsWhite(data[d]))
                ++d;
        } else if (pattern.compare(p, 2, "%[") == 0) {
            bool bMember[256];
            if (!ReadSet(pattern, p + 2, bMember))
                return false;
            size_t e = d;
            while (e < data.size() && bMember[static_cast<unsigned char>(data[e])])
                ++e;
            if (e == d)
                return false;
            strValue = data.substr(d, e - d);
            return true;
        } else if (pattern.compare(p, 2, "%%") == 0) {
            if (d >= data.size() || data[d] != '%')
                return false;
            ++d;
            p += 2;
        } else if (d < data.size() && data[d] == pattern[p]) {
            ++d;
            ++p;
        } else {
            return false;
        }
    }
    return false;
}

} // namespace

CReferenceRun ReferenceParse(const CString& strDataIn, const CString& strTemplateIn,
                             const CString& strLineBreak, const CString& strStartTag,
                             const CString& strEndTag, const CString& strAllowedChars)
{
    CReferenceRun run;
    const string strData = Trim(strDataIn);
    const string strTemplate = Trim(strTemplateIn);

    // Field names: the template cut at the line-break text, the placeholders
    // of each piece, the first of equal names kept.
    for (const string& piece : Split(strTemplate, strLineBreak)) {
        for (const string& name : Placeholders(piece, strStartTag, strEndTag, "\r\n")) {
            bool bKnown = false;
            for (int i = 0; i < run.fieldNames.GetSize() && !bKnown; ++i)
                bKnown = run.fieldNames[i] == name;
            if (!bKnown)
                run.fieldNames.Add(name);
        }
    }

    const vector<string> dataLines = Split(strData, "\r\n");
    const vector<string> templateLines = Split(strTemplate, "\r\n");
    run.bComplete = true;
    if (dataLines.size() < templateLines.size())
        return run;
    size_t j = 0;
    for (const string& dataLine : dataLines) {
        const string D = Trim(dataLine);
        const string T = Trim(templateLines[j]);
        if (D != T && D.empty())
            continue;
        const vector<string> placeholders = Placeholders(T, strStartTag, strEndTag, "%s");
        if (placeholders.empty() && D != T) {
            run.bComplete = false;
            return run;
        }
        // Field k scans a pattern in which the fields before it stand as
        // their values, itself as its conversion, and the later ones as
        // their placeholders.
        string pattern;
        string strPrevConversion;
        string strPrevValue;
        for (size_t k = 0; k < placeholders.size(); ++k) {
            if (k == 0)
                pattern = T;
            else
                ReplaceAll(pattern, strPrevConversion, strPrevValue);
            const string strSet = CustomSet(placeholders[k]);
            const string conversion =
                "%[" + (strSet.empty() ? string(strAllowedChars) : strSet) + "]";
            ReplaceAll(pattern, placeholders[k], conversion);
            strPrevConversion = conversion;
            string strValue;
            if (Scan(D, pattern, strValue)) {
                run.values.emplace_back(placeholders[k], strValue);
                strPrevValue = strValue;
            }
        }
        j = j + 1 < templateLines.size() ? j + 1 : 0;
    }
    return run;
}
