#include "TemplateMatcher.h"

#include "CharSet.h"
#include "EditableString.h"
#include "ParseResult.h"
#include "framework/StringUtil.h"

#include <future>
#include <string_view>
#include <thread>
#include <vector>

CTemplateMatcher::CTemplateMatcher()
{
    SetSettings(kDefaultStartTag, kDefaultEndTag, kDefaultAllowedChars);
}

void CTemplateMatcher::SetSettings(const CString& strStartTag, const CString& strEndTag,
                                   const CString& strAllowedChars)
{
    m_strStartTag = strStartTag;
    m_strEndTag = strEndTag;
    m_strScanFormat = "%[" + strAllowedChars + "]";
}

bool CTemplateMatcher::GetCustomCharset(CString& strCharset, const CString& strPlaceholder)
{
    CEditableString w(strPlaceholder);
    CString strSegment;
    if (!w.ExtractBetween(strSegment, "{$$", "$$}"))
        return false;
    CEditableString seg(strSegment);
    seg.ReplaceAll("{$$", "", true);
    seg.ReplaceAll("$$}", "", true);
    if (seg.m_str.empty())
        return false;
    strCharset = seg.m_str;
    return true;
}

namespace {

using std::string_view;

// Texts from this size on are parsed in two parts on two threads.
constexpr size_t kTwoPartSize = size_t{8} << 20;

inline bool IsWs(char ch)
{
    return str::IsSpace(static_cast<unsigned char>(ch));
}

string_view TrimView(string_view text)
{
    size_t nStart = 0;
    size_t nEnd = text.size();
    while (nStart < nEnd && IsWs(text[nStart]))
        ++nStart;
    while (nEnd > nStart && IsWs(text[nEnd - 1]))
        --nEnd;
    return text.substr(nStart, nEnd - nStart);
}

// What a pattern scan finds: the place of the captured run in the data line.
struct CCapture
{
    bool bFound = false;
    size_t nStart = 0;
    size_t nLength = 0;
};

// The scan of a data line against a pattern text, as the rules state it.
CCapture ScanPattern(string_view D, string_view P)
{
    CCapture capture;
    size_t d = 0;
    size_t p = 0;
    for (;;) {
        if (p >= P.size())
            return capture;
        const char pc = P[p];
        if (IsWs(pc)) {
            while (p < P.size() && IsWs(P[p]))
                ++p;
            while (d < D.size() && IsWs(D[d]))
                ++d;
            continue;
        }
        if (pc == '%' && p + 1 < P.size() && P[p + 1] == '[') {
            CCharSet set;
            size_t nEnd = 0;
            if (!set.Parse(P, p + 2, nEnd))
                return capture;
            size_t e = d;
            while (e < D.size() && set.Contains(static_cast<unsigned char>(D[e])))
                ++e;
            if (e > d) {
                capture.bFound = true;
                capture.nStart = d;
                capture.nLength = e - d;
            }
            return capture;
        }
        if (pc == '%' && p + 1 < P.size() && P[p + 1] == '%') {
            if (d < D.size() && D[d] == '%') {
                ++d;
                p += 2;
                continue;
            }
            return capture;
        }
        if (d < D.size() && D[d] == pc) {
            ++d;
            ++p;
            continue;
        }
        return capture;
    }
}

// Matches text without conversions at d, white space in it standing for
// any amount of white space in the data; moves d past what it matched.
bool MatchText(string_view D, size_t& d, string_view text)
{
    size_t p = 0;
    while (p < text.size()) {
        if (IsWs(text[p])) {
            while (p < text.size() && IsWs(text[p]))
                ++p;
            while (d < D.size() && IsWs(D[d]))
                ++d;
            continue;
        }
        // A run of ordinary bytes compares in one go.
        size_t q = p + 1;
        while (q < text.size() && !IsWs(text[q]))
            ++q;
        const size_t n = q - p;
        if (d + n > D.size() || D.compare(d, n, text.substr(p, n)) != 0)
            return false;
        d += n;
        p = q;
    }
    return true;
}

// One template line, taken apart once for the whole run.
struct CTemplateLine
{
    CString strT;                   // the line, trimmed
    CStringArray placeholders;      // in the order ExtractAll lists them
    std::vector<int> names;         // their indexes in the value list
    std::vector<CString> conversions;
    // The line as literal pieces around each placeholder, when its shape
    // lets the pieces be matched in place (see BuildPlan).
    bool bPlan = false;
    std::vector<string_view> literals; // one more than placeholders
    std::vector<CCharSet> sets;
    std::vector<bool> setClosed;
    bool bStartTagBytes[256] = {};
};

// Decides whether a line can be matched piece by piece with the same
// result as building each field's pattern text. That holds when no percent
// sign is in the line (so the only conversion in a pattern is the field's
// own), each placeholder stands exactly once at its place, and no literal
// piece holds the start tag (so no placeholder can be found anywhere but
// at its place). Values found at run time are checked as they come.
void BuildPlan(CTemplateLine& line, const CString& strStartTag)
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
        const size_t nAt = T.find(ph, nPos);
        if (nAt == string_view::npos || T.find(ph) != nAt || T.find(ph, nAt + 1) != string_view::npos)
            return;
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
    line.sets.assign(static_cast<size_t>(n), CCharSet());
    line.setClosed.assign(static_cast<size_t>(n), false);
    for (int k = 0; k < n; ++k) {
        // The set is read from the field's conversion and, when that does
        // not close it, from the line's text after the placeholder.
        const CString text = line.conversions[static_cast<size_t>(k)] + CString(T.substr(ends[static_cast<size_t>(k)]));
        size_t nEnd = 0;
        line.setClosed[static_cast<size_t>(k)] = line.sets[static_cast<size_t>(k)].Parse(text, 2, nEnd);
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
// when a value turns up that the pieces cannot stand for.
bool MatchLineByPieces(const CTemplateLine& line, string_view D, size_t nLineOffset,
                       CValueList& values)
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
        if (!MatchText(D, d, line.literals[k]))
            return true;
        bJustCaptured = false;
        if (!line.setClosed[k])
            continue;
        const CCharSet& set = line.sets[k];
        size_t e = d;
        while (e < D.size() && set.Contains(static_cast<unsigned char>(D[e])))
            ++e;
        if (e > d) {
            values.AppendFromSource(nLineOffset + d, e - d, line.names[k]);
            standing = D.substr(d, e - d);
            bJustCaptured = true;
        }
    }
    return true;
}

// Walks the data lines from nPos to the end of the data or, when nLastBreak
// is not npos, through the line that ends at that line break; j is the
// template line of the first of them and, after the walk, of the next.
// Without a value list the lines are only counted. False when a line that
// must equal its template line does not.
bool WalkLines(const std::vector<CTemplateLine>& lines, string_view data, size_t nPos,
               size_t nLastBreak, size_t& j, CValueList* pValues, size_t nDataStart)
{
    const size_t nTemplateLines = lines.size();
    for (;;) {
        const size_t nBreak = data.find("\r\n", nPos);
        const string_view raw =
            data.substr(nPos, nBreak == string_view::npos ? string_view::npos : nBreak - nPos);
        const string_view D = TrimView(raw);
        const CTemplateLine& line = lines[j];
        const string_view T = line.strT;
        if (!(D != T && D.empty())) {
            if (pValues == nullptr) {
                // counting only
            } else if (line.placeholders.IsEmpty()) {
                if (D != T)
                    return false;
            } else {
                const size_t nLineOffset = nDataStart + static_cast<size_t>(D.data() - data.data());
                if (!line.bPlan || !MatchLineByPieces(line, D, nLineOffset, *pValues))
                    MatchLineByPatterns(line, D, nLineOffset, *pValues);
            }
            j = j + 1 < nTemplateLines ? j + 1 : 0;
        }
        if (nBreak == string_view::npos || nBreak == nLastBreak)
            break;
        nPos = nBreak + 2;
    }
    return true;
}

} // namespace

bool CTemplateMatcher::Scan(std::string_view data, std::string_view pattern, CString& strValue)
{
    const CCapture capture = ScanPattern(data, pattern);
    if (capture.bFound)
        strValue.assign(data.substr(capture.nStart, capture.nLength));
    return capture.bFound;
}

bool CTemplateMatcher::Parse(CParseResult* pResult, CString strData, CString strTemplate,
                             const CString& lpszLineBreak) const
{
    strTemplate = str::Trim(strTemplate);
    pResult->Clear();
    pResult->CollectFieldNames(strTemplate, lpszLineBreak, m_strStartTag, m_strEndTag);

    // The data stays in the result, and values are places in it.
    CValueList& values = pResult->m_listValues;
    values.SetSource(std::move(strData));
    const string_view data = TrimView(values.GetSource());
    const size_t nDataStart = static_cast<size_t>(data.data() - values.GetSource().data());

    CLineArray templateTexts;
    templateTexts.Split(strTemplate, "\r\n");
    std::vector<CTemplateLine> lines(static_cast<size_t>(templateTexts.GetSize()));
    for (size_t i = 0; i < lines.size(); ++i) {
        CTemplateLine& line = lines[i];
        line.strT = str::Trim(templateTexts[static_cast<int>(i)]);
        CEditableString(line.strT).ExtractAll(line.placeholders, m_strStartTag, m_strEndTag, "%s");
        for (const CString& ph : line.placeholders) {
            line.names.push_back(values.InternName(ph));
            CString strCharset;
            line.conversions.push_back(GetCustomCharset(strCharset, ph) ? "%[" + strCharset + "]"
                                                                         : m_strScanFormat);
        }
        if (!line.placeholders.IsEmpty())
            BuildPlan(line, m_strStartTag);
    }

    // Fewer data lines than template lines: nothing is recorded.
    const size_t nTemplateLines = lines.size();
    size_t nDataLines = 1;
    for (size_t nAt = data.find("\r\n"); nAt != string_view::npos && nDataLines < nTemplateLines;
         nAt = data.find("\r\n", nAt + 2))
        ++nDataLines;
    if (nDataLines < nTemplateLines)
        return true;

    // A large text is parsed in two parts at once. The second part starts
    // at a line break near the middle; the template line it starts with is
    // found by walking the first part's lines without matching them, which
    // is far cheaper than matching. Where the first part stops at a line
    // that does not match, the second part's values are dropped, as a
    // single walk would never have reached them.
    if (data.size() >= kTwoPartSize && std::thread::hardware_concurrency() > 1) {
        const size_t nMiddle = data.find("\r\n", data.size() / 2);
        if (nMiddle != string_view::npos) {
            CValueList secondPart;
            auto second = std::async(std::launch::async, [&]() {
                size_t jSecond = 0;
                WalkLines(lines, data, 0, nMiddle, jSecond, nullptr, 0);
                return WalkLines(lines, data, nMiddle + 2, string_view::npos, jSecond,
                                 &secondPart, nDataStart);
            });
            size_t jFirst = 0;
            const bool bFirstComplete = WalkLines(lines, data, 0, nMiddle, jFirst, &values, nDataStart);
            const bool bSecondComplete = second.get();
            if (!bFirstComplete)
                return false;
            values.AppendPart(secondPart);
            return bSecondComplete;
        }
    }
    size_t j = 0;
    return WalkLines(lines, data, 0, string_view::npos, j, &values, nDataStart);
}

