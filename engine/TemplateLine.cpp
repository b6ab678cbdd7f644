#include "TemplateLine.h"

#include "EditableString.h"
#include "LineArray.h"
#include "PatternScan.h"
#include "PlaceholderScan.h"
#include "PlaceholderSyntax.h"
#include "ValueList.h"

#include <cstring>
#include <unordered_map>

using std::string_view;

namespace {

std::vector<CLiteralRun> RunsOf(string_view text)
{
    std::vector<CLiteralRun> runs;
    size_t p = 0;
    while (p < text.size()) {
        const bool bSpace = IsScanSpace(text[p]);
        size_t q = p + 1;
        while (q < text.size() && IsScanSpace(text[q]) == bSpace)
            ++q;
        runs.push_back(CLiteralRun{bSpace, text.substr(p, q - p)});
        p = q;
    }
    return runs;
}

// MatchText for a literal cut into runs beforehand.
bool MatchRuns(string_view D, size_t& d, const std::vector<CLiteralRun>& runs)
{
    for (const CLiteralRun& run : runs) {
        if (run.bSpace) {
            while (d < D.size() && IsScanSpace(D[d]))
                ++d;
            continue;
        }
        const size_t n = run.text.size();
        if (d + n > D.size() || std::memcmp(D.data() + d, run.text.data(), n) != 0)
            return false;
        d += n;
    }
    return true;
}

// Decides whether a line can be matched piece by piece with the same
// result as building each field's pattern text. That holds when no percent
// sign is in the line (so the only conversion in a pattern is the field's
// own), each placeholder stands exactly once at its place, and no literal
// piece holds the start tag (so no placeholder can be found anywhere but
// at its place). Values found at run time are checked as they come.
// pScan, when the placeholders were found by a scan of the line, tells
// where each stands and how often, without searching the line again.
void BuildPlan(CTemplateLine& line, const CString& strStartTag, const CPlaceholderScan* pScan,
               std::unordered_map<CString, CCharSet>& closedSets)
{
    line.bPlan = false;
    const string_view T = line.strT;
    if (strStartTag.empty() || T.find('%') != string_view::npos)
        return;
    const int n = line.placeholders.GetSize();
    std::vector<string_view> literals;
    size_t nPos = 0;
    std::vector<size_t> ends;
    for (int k = 0; k < n; ++k) {
        const CString& ph = line.placeholders[k];
        size_t nAt = 0;
        if (pScan != nullptr) {
            const CPlaceholderScan::CFound& found = pScan->found[static_cast<size_t>(k)];
            if (found.nCount != 1 || found.nPos < nPos)
                return;
            nAt = found.nPos;
        } else {
            nAt = T.find(ph, nPos);
            if (nAt == string_view::npos || T.find(ph) != nAt ||
                T.find(ph, nAt + 1) != string_view::npos)
                return;
        }
        literals.push_back(T.substr(nPos, nAt - nPos));
        nPos = nAt + ph.size();
        ends.push_back(nPos);
    }
    literals.push_back(T.substr(nPos));
    for (const string_view literal : literals) {
        if (literal.find(strStartTag) != string_view::npos)
            return;
    }
    line.literals = literals;
    line.literalRuns.clear();
    for (const string_view literal : literals)
        line.literalRuns.push_back(RunsOf(literal));
    line.sets.assign(static_cast<size_t>(n), CCharSet());
    line.setClosed.assign(static_cast<size_t>(n), 0);
    for (size_t k = 0; k < static_cast<size_t>(n); ++k) {
        // The set is read from the field's conversion and, when that does
        // not close it, from the line's text after the placeholder. Fields
        // mostly share one conversion, which is read once.
        size_t nEnd = 0;
        const auto it = closedSets.find(line.conversions[k]);
        if (it != closedSets.end()) {
            line.sets[k] = it->second;
            line.setClosed[k] = 1;
            continue;
        }
        if (line.sets[k].Parse(line.conversions[k], 2, nEnd)) {
            closedSets.emplace(line.conversions[k], line.sets[k]);
            line.setClosed[k] = 1;
            continue;
        }
        line.sets[k] = CCharSet();
        const CString text = line.conversions[k] + CString(T.substr(ends[k]));
        line.setClosed[k] = line.sets[k].Parse(text, 2, nEnd) ? 1 : 0;
    }
    for (const char ch : strStartTag)
        line.bStartTagBytes[static_cast<unsigned char>(ch)] = true;
    line.bPlan = true;
}

// A value may stand in the patterns of the later fields of its line without
// changing their meaning when it is not empty and holds no percent sign and
// no byte of the start tag.
bool SafeToStand(const CTemplateLine& line, string_view value)
{
    if (value.empty())
        return false;
    for (const char ch : value) {
        if (ch == '%' || line.bStartTagBytes[static_cast<unsigned char>(ch)])
            return false;
    }
    return true;
}

// The fields of one data line by the rules as written: each field's
// pattern built from the line and the values before it, scanned from the
// start of the line.
void MatchLineByPatterns(const CTemplateLine& line, string_view D, size_t nLineOffset,
                         CValueList& values)
{
    CEditableString pattern;
    CString strPrevConversion;
    CString strPrevValue;
    for (int k = 0; k < line.placeholders.GetSize(); ++k) {
        if (k == 0)
            pattern.m_str = line.strT;
        else
            pattern.ReplaceAll(strPrevConversion, strPrevValue, true);
        const CString& conversion = line.conversions[static_cast<size_t>(k)];
        pattern.ReplaceAll(line.placeholders[k], conversion, true);
        strPrevConversion = conversion;
        const CCapture capture = ScanPattern(D, pattern.m_str);
        if (capture.bFound) {
            values.AppendFromSource(nLineOffset + capture.nStart, capture.nLength,
                                    line.names[static_cast<size_t>(k)]);
            strPrevValue.assign(D.substr(capture.nStart, capture.nLength));
        }
    }
}

// The same fields matched piece by piece. False, with nothing appended,
// when a value turns up that the pieces cannot stand for. The bytes after
// the line up to pReadEnd may be read, not matched.
bool MatchLineByPieces(const CTemplateLine& line, string_view D, size_t nLineOffset,
                       const char* pReadEnd, CValueList& values)
{
    const size_t nBefore = values.size();
    const size_t n = line.literals.size() - 1;
    size_t d = 0;
    string_view standing;       // the value the previous field stands as
    bool bJustCaptured = false; // standing was captured right at d
    for (size_t k = 0; k < n; ++k) {
        if (k > 0) {
            if (!SafeToStand(line, standing)) {
                values.Truncate(nBefore);
                return false;
            }
            if (bJustCaptured && standing.find_first_of(" \t\n\v\f\r") == string_view::npos)
                d += standing.size();
            else if (!MatchText(D, d, standing))
                return true;
        }
        if (!MatchRuns(D, d, line.literalRuns[k]))
            return true;
        bJustCaptured = false;
        if (line.setClosed[k] == 0)
            continue;
        const size_t e = d + line.sets[k].Span(D.data() + d, D.size() - d, pReadEnd);
        if (e > d) {
            values.AppendFromSource(nLineOffset + d, e - d, line.names[k]);
            standing = D.substr(d, e - d);
            bJustCaptured = true;
        }
    }
    return true;
}

} // namespace

std::vector<CTemplateLine> PrepareLines(const CString& strTemplate, const CString& strStartTag,
                                        const CString& strEndTag,
                                        const CString& strDefaultConversion, CValueList& values)
{
    CLineArray templateTexts;
    templateTexts.Split(strTemplate, "\r\n");
    std::vector<CTemplateLine> lines(static_cast<size_t>(templateTexts.GetSize()));
    std::unordered_map<CString, CCharSet> closedSets; // the sets of conversions that close
    for (size_t i = 0; i < lines.size(); ++i) {
        CTemplateLine& line = lines[i];
        line.strT = str::Trim(templateTexts[static_cast<int>(i)]);
        CPlaceholderScan scan;
        const bool bScanned = ScanPlaceholders(line.strT, strStartTag, strEndTag, "%s", scan);
        if (bScanned) {
            for (const CPlaceholderScan::CFound& found : scan.found)
                line.placeholders.Add(line.strT.substr(found.nPos, found.nLength));
        } else {
            CEditableString(line.strT).ExtractAll(line.placeholders, strStartTag, strEndTag, "%s");
        }
        for (const CString& ph : line.placeholders) {
            line.names.push_back(values.InternName(ph));
            line.conversions.push_back(placeholder::ConversionOf(ph, strDefaultConversion));
        }
        if (!line.placeholders.IsEmpty())
            BuildPlan(line, strStartTag, bScanned ? &scan : nullptr, closedSets);
    }
    return lines;
}

void MatchLine(const CTemplateLine& line, string_view D, size_t nLineOffset, const char* pReadEnd,
               CValueList& values)
{
    if (!line.bPlan || !MatchLineByPieces(line, D, nLineOffset, pReadEnd, values))
        MatchLineByPatterns(line, D, nLineOffset, values);
}
