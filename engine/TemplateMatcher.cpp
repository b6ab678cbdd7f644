#include "TemplateMatcher.h"

#include "CharSet.h"
#include "EditableString.h"
#include "ParseResult.h"
#include "framework/StringUtil.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <cstdint>
#include <cstring>
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

inline bool IsWs(char ch) { return str::IsSpace(static_cast<unsigned char>(ch)); }

inline string_view TrimView(string_view text)
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

// A literal piece of a template line cut into runs: white space, which
// matches any amount of white space, and ordinary bytes, which must stand
// in the data as they are.
struct CLiteralRun
{
    bool bSpace = false;
    string_view text;
};

std::vector<CLiteralRun> RunsOf(string_view text)
{
    std::vector<CLiteralRun> runs;
    size_t p = 0;
    while (p < text.size()) {
        const bool bSpace = IsWs(text[p]);
        size_t q = p + 1;
        while (q < text.size() && IsWs(text[q]) == bSpace)
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
            while (d < D.size() && IsWs(D[d]))
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

// One template line, taken apart once for the whole run.
struct CTemplateLine
{
    CString strT;              // the line, trimmed
    CStringArray placeholders; // in the order ExtractAll lists them
    std::vector<int> names;    // their indexes in the value list
    std::vector<CString> conversions;
    // The line as literal pieces around each placeholder, when its shape
    // lets the pieces be matched in place (see BuildPlan).
    bool bPlan = false;
    std::vector<string_view> literals; // one more than placeholders
    std::vector<std::vector<CLiteralRun>> literalRuns;
    std::vector<CCharSet> sets;
    std::vector<char> setClosed; // whether the set's text has its "]"
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
        if (nAt == string_view::npos || T.find(ph) != nAt ||
            T.find(ph, nAt + 1) != string_view::npos)
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
    line.literalRuns.clear();
    for (const string_view literal : literals)
        line.literalRuns.push_back(RunsOf(literal));
    line.sets.assign(static_cast<size_t>(n), CCharSet());
    line.setClosed.assign(static_cast<size_t>(n), 0);
    for (int k = 0; k < n; ++k) {
        // The set is read from the field's conversion and, when that does
        // not close it, from the line's text after the placeholder.
        const CString text = line.conversions[static_cast<size_t>(k)] +
            CString(T.substr(ends[static_cast<size_t>(k)]));
        size_t nEnd = 0;
        line.setClosed[static_cast<size_t>(k)] =
            line.sets[static_cast<size_t>(k)].Parse(text, 2, nEnd) ? 1 : 0;
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
        const size_t nBreak = str::FindCrLf(data, nPos);
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
                if (!line.bPlan ||
                    !MatchLineByPieces(line, D, nLineOffset, data.data() + data.size(), *pValues))
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

// The template's lines, taken apart once; field names are interned in values.
std::vector<CTemplateLine> PrepareLines(const CTemplateMatcher& matcher, const CString& strTemplate,
                                        CValueList& values)
{
    CLineArray templateTexts;
    templateTexts.Split(strTemplate, "\r\n");
    std::vector<CTemplateLine> lines(static_cast<size_t>(templateTexts.GetSize()));
    for (size_t i = 0; i < lines.size(); ++i) {
        CTemplateLine& line = lines[i];
        line.strT = str::Trim(templateTexts[static_cast<int>(i)]);
        CEditableString(line.strT).ExtractAll(line.placeholders, matcher.m_strStartTag,
                                              matcher.m_strEndTag, "%s");
        for (const CString& ph : line.placeholders) {
            line.names.push_back(values.InternName(ph));
            CString strCharset;
            line.conversions.push_back(CTemplateMatcher::GetCustomCharset(strCharset, ph)
                                           ? "%[" + strCharset + "]"
                                           : matcher.m_strScanFormat);
        }
        if (!line.placeholders.IsEmpty())
            BuildPlan(line, matcher.m_strStartTag);
    }
    return lines;
}

// Whether the line of a joined text that starts at nStart holds only white
// space; its line break follows somewhere after it.
bool IsBlankLine(string_view text, size_t nStart)
{
    for (size_t q = nStart; q < text.size(); ++q) {
        if (text[q] == '\r' && q + 1 < text.size() && text[q + 1] == '\n')
            return true;
        if (!IsWs(text[q]))
            return false;
    }
    return true;
}

// The lines of a joined text that ends with a line break (every CR is
// followed by an LF, every LF follows a CR) that hold more than white
// space: its LFs less its blank lines, which can only be lines that start
// with white space.
size_t CountFilledLines(string_view text)
{
    size_t nLines = 0;
    size_t nBlank = 0;
    unsigned nCarry = 1; // the next byte starts a line
    size_t i = 0;
#ifdef __SSE2__
    const char* const p = text.data();
    const __m128i lf = _mm_set1_epi8('\n');
    // LFs are counted per byte lane (a match is -1) and the lanes summed
    // before any can overflow.
    __m128i lanes = _mm_setzero_si128();
    int nInLanes = 0;
    const auto sumLanes = [&]() {
        const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
        nLines += static_cast<size_t>(_mm_cvtsi128_si32(sums)) +
            static_cast<size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
        lanes = _mm_setzero_si128();
        nInLanes = 0;
    };
    for (; i + 64 <= text.size(); i += 64) {
        std::uint64_t nLf = 0;
        for (int k = 0; k < 4; ++k) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 16 * k));
            const __m128i isLf = _mm_cmpeq_epi8(block, lf);
            lanes = _mm_sub_epi8(lanes, isLf);
            nLf |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(isLf)))
                << (16 * k);
        }
        if (++nInLanes == 63)
            sumLanes();
        // A line that starts with white space may be blank.
        for (std::uint64_t nStarts = (nLf << 1) | nCarry; nStarts != 0; nStarts &= nStarts - 1) {
            const size_t nAt = i + static_cast<size_t>(__builtin_ctzll(nStarts));
            if (IsWs(p[nAt]) && IsBlankLine(text, nAt))
                ++nBlank;
        }
        nCarry = static_cast<unsigned>(nLf >> 63);
    }
    sumLanes();
#endif
    for (; i < text.size(); ++i) {
        if (nCarry != 0 && IsWs(text[i]) && IsBlankLine(text, i))
            ++nBlank;
        nCarry = text[i] == '\n' ? 1 : 0;
        nLines += nCarry;
    }
    return nLines - nBlank;
}

// Whether the data has at least nLines lines.
bool HasLines(string_view data, size_t nLines)
{
    size_t nDataLines = 1;
    for (size_t nAt = str::FindCrLf(data, 0); nAt != string_view::npos && nDataLines < nLines;
         nAt = str::FindCrLf(data, nAt + 2))
        ++nDataLines;
    return nDataLines >= nLines;
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
    // The data stays in the result, and values are places in it.
    pResult->Clear();
    pResult->m_listValues.SetSource(std::move(strData));
    return ParseSource(pResult, std::move(strTemplate), lpszLineBreak);
}

bool CTemplateMatcher::ParseText(CParseResult* pResult, std::string_view data, CString strTemplate,
                                 const CString& lpszLineBreak) const
{
    pResult->Clear();
    pResult->m_listValues.BorrowSource(data);
    return ParseSource(pResult, std::move(strTemplate), lpszLineBreak);
}

bool CTemplateMatcher::ParseSource(CParseResult* pResult, CString strTemplate,
                                   const CString& lpszLineBreak) const
{
    strTemplate = str::Trim(strTemplate);
    pResult->CollectFieldNames(strTemplate, lpszLineBreak, m_strStartTag, m_strEndTag);

    CValueList& values = pResult->m_listValues;
    const string_view data = TrimView(values.GetSource());
    const size_t nDataStart = static_cast<size_t>(data.data() - values.GetSource().data());

    const std::vector<CTemplateLine> lines = PrepareLines(*this, strTemplate, values);
    // Fewer data lines than template lines: nothing is recorded.
    if (!HasLines(data, lines.size()))
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
                return WalkLines(lines, data, nMiddle + 2, string_view::npos, jSecond, &secondPart,
                                 nDataStart);
            });
            size_t jFirst = 0;
            const bool bFirstComplete =
                WalkLines(lines, data, 0, nMiddle, jFirst, &values, nDataStart);
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


struct CPieceMatcher::CState
{
    CParseResult names;
    std::vector<CTemplateLine> lines;
    bool bNoEmptyLine = true; // no template line is empty
};

CPieceMatcher::CPieceMatcher(const CTemplateMatcher& matcher, const CString& strTemplate,
                             const CString& lpszLineBreak)
    : m_pState(std::make_unique<CState>())
{
    const CString strTrimmed = str::Trim(strTemplate);
    CParseResult& names = m_pState->names;
    names.CollectFieldNames(strTrimmed, lpszLineBreak, matcher.m_strStartTag, matcher.m_strEndTag);
    m_pState->lines = PrepareLines(matcher, strTrimmed, names.m_listValues);
    for (const CTemplateLine& line : m_pState->lines)
        m_pState->bNoEmptyLine = m_pState->bNoEmptyLine && !line.strT.empty();
}

CPieceMatcher::~CPieceMatcher() = default;

const CParseResult& CPieceMatcher::GetNames() const { return m_pState->names; }

bool CPieceMatcher::HasEnoughLines(std::string_view firstPiece) const
{
    // Trimmed, a piece that more text follows is at most as long in lines
    // as the whole text trimmed.
    return HasLines(TrimView(firstPiece), m_pState->lines.size());
}

size_t CPieceMatcher::Skip(std::string_view piece, size_t j) const
{
    const std::vector<CTemplateLine>& lines = m_pState->lines;
    if (m_pState->bNoEmptyLine) {
        // Then every line that is not blank takes the next template line,
        // and a blank line is passed over.
        return (j + CountFilledLines(piece) % lines.size()) % lines.size();
    }
    if (piece.size() >= 2)
        WalkLines(lines, piece, 0, piece.size() - 2, j, nullptr, 0);
    return j;
}

bool CPieceMatcher::Match(std::string_view piece, size_t& j, bool bLast, CValueList& values) const
{
    const std::vector<CTemplateLine>& lines = m_pState->lines;
    if (!bLast)
        return piece.size() < 2 || WalkLines(lines, piece, 0, piece.size() - 2, j, &values, 0);
    // The whole text's trim drops the white space at its end, where its
    // last line ends. (Its start the caller has dropped with the first
    // piece.)
    size_t nEnd = piece.size();
    while (nEnd > 0 && IsWs(piece[nEnd - 1]))
        --nEnd;
    if (nEnd == 0)
        return true;
    return WalkLines(lines, piece.substr(0, nEnd), 0, string_view::npos, j, &values, 0);
}
