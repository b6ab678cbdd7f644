#pragma once
// The matcher's walk for a data text that comes in pieces.

#include "framework/StringTypes.h"

#include <cstddef>
#include <memory>
#include <string_view>

class CParseResult;
class CTemplateMatcher;
class CReportBuilder;
class CValueList;
struct CWalkStats;

// Parse for a data text that comes in pieces that each end with "\r\n" (the
// last may not), for pieces walked on several threads: the values of the
// whole text come piece by piece, in the same order, once the template line
// each piece starts with is known. Skip finds it from the previous piece far
// faster than Match. Every const member may be used from several threads.
class CPieceMatcher
{
public:
    // strTemplate and lpszLineBreak as Parse takes them.
    CPieceMatcher(const CTemplateMatcher& matcher, const CString& strTemplate,
                  const CString& lpszLineBreak);
    ~CPieceMatcher();
    CPieceMatcher(const CPieceMatcher&) = delete;
    CPieceMatcher& operator=(const CPieceMatcher&) = delete;

    // The template's field names, and the name table the values of Match
    // refer to.
    const CParseResult& GetNames() const;

    // Whether the text that starts with this piece (its leading space
    // dropped) has at least as many lines as the template; with fewer it
    // gives no values. When the piece is not the whole text, false may
    // only mean that it is too short to tell.
    bool HasEnoughLines(std::string_view firstPiece) const;

    // The template line after the lines of the piece when its first line
    // is matched against template line j. The piece must be a joined text:
    // its line ends all CR LF, the last at its end.
    size_t Skip(std::string_view piece, size_t j) const;
    // Appends the values of the piece's lines to values, whose source must
    // be the piece, the first line matched against template line j (which
    // becomes the line after). bLast for the piece that ends the text.
    // False when the walk stopped at a line that must equal its template
    // line and does not; the values before it are kept.
    // With pStats, also tells what the walk saw.
    bool Match(std::string_view piece, size_t& j, bool bLast, CValueList& values,
               CWalkStats* pStats = nullptr) const;

    // A report of the walks of the text's pieces.
    CReportBuilder StartReport() const;

private:
    struct CState;
    std::unique_ptr<CState> m_pState;
};
