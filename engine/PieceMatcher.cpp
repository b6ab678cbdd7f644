#include "PieceMatcher.h"

#include "LineCount.h"
#include "LineWalk.h"
#include "ParseResult.h"
#include "PatternScan.h"
#include "TemplateMatcher.h"
#include "framework/StringUtil.h"

#include <vector>

using std::string_view;

struct CPieceMatcher::CState
{
    CParseResult names;
    std::vector<CTemplateLine> lines;
    bool bNoEmptyLine = true; // no template line is empty
    CString strStartTag;
    CString strEndTag;
};

CPieceMatcher::CPieceMatcher(const CTemplateMatcher& matcher, const CString& strTemplate,
                             const CString& lpszLineBreak)
    : m_pState(std::make_unique<CState>())
{
    const CString strTrimmed = str::Trim(strTemplate);
    CParseResult& names = m_pState->names;
    names.CollectFieldNames(strTrimmed, lpszLineBreak, matcher.m_strStartTag, matcher.m_strEndTag);
    m_pState->lines = PrepareLines(strTrimmed, matcher.m_strStartTag, matcher.m_strEndTag,
                                   matcher.m_strScanFormat, names.m_listValues);
    for (const CTemplateLine& line : m_pState->lines)
        m_pState->bNoEmptyLine = m_pState->bNoEmptyLine && !line.strT.empty();
    m_pState->strStartTag = matcher.m_strStartTag;
    m_pState->strEndTag = matcher.m_strEndTag;
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

bool CPieceMatcher::Match(std::string_view piece, size_t& j, bool bLast, CValueList& values,
                          CWalkStats* pStats) const
{
    const std::vector<CTemplateLine>& lines = m_pState->lines;
    if (!bLast) {
        return piece.size() < 2 ||
            WalkLines(lines, piece, 0, piece.size() - 2, j, &values, 0, pStats);
    }
    // The whole text's trim drops the white space at its end, where its
    // last line ends. (Its start the caller has dropped with the first
    // piece.)
    size_t nEnd = piece.size();
    while (nEnd > 0 && IsScanSpace(piece[nEnd - 1]))
        --nEnd;
    if (nEnd == 0)
        return true;
    return WalkLines(lines, piece.substr(0, nEnd), 0, string_view::npos, j, &values, 0, pStats);
}

CReportBuilder CPieceMatcher::StartReport() const
{
    std::vector<CString> templateLines;
    for (const CTemplateLine& line : m_pState->lines)
        templateLines.push_back(line.strT);
    return m_pState->names.StartReport(templateLines, m_pState->strStartTag, m_pState->strEndTag);
}
