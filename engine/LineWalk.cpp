#include "LineWalk.h"

#include "PatternScan.h"
#include "ValueList.h"
#include "framework/StringUtil.h"

using std::string_view;

void CWalkStats::Reset(size_t nNames)
{
    *this = CWalkStats();
    firstMiss.assign(nNames, 0);
    capturedOn.assign(nNames, 0);
    nOpenMisses = nNames;
}

namespace {

// Notes the fields of the line that captured nothing, the first time each
// does; the values from nBefore on are those the line captured.
void NoteMisses(const CTemplateLine& line, const CValueList& values, size_t nBefore,
                CWalkStats& stats)
{
    // The names the line captured are marked with the line's number, so
    // that a line of many fields is walked through once.
    for (size_t i = nBefore; i < values.size(); ++i) {
        const auto n = static_cast<size_t>(values.NameIndexAt(i));
        if (n < stats.capturedOn.size())
            stats.capturedOn[n] = stats.nLines;
    }
    for (const int nName : line.names) {
        const auto n = static_cast<size_t>(nName);
        if (n >= stats.firstMiss.size() || stats.firstMiss[n] != 0 ||
            stats.capturedOn[n] == stats.nLines)
            continue;
        stats.firstMiss[n] = stats.nLines;
        --stats.nOpenMisses;
    }
}

} // namespace

bool WalkLines(const std::vector<CTemplateLine>& lines, string_view data, size_t nPos,
               size_t nLastBreak, size_t& j, CValueList* pValues, size_t nDataStart,
               CWalkStats* pStats)
{
    const size_t nTemplateLines = lines.size();
    for (;;) {
        const size_t nBreak = str::FindCrLf(data, nPos);
        const string_view raw =
            data.substr(nPos, nBreak == string_view::npos ? string_view::npos : nBreak - nPos);
        const string_view D = TrimView(raw);
        const CTemplateLine& line = lines[j];
        const string_view T = line.strT;
        if (pStats != nullptr) {
            ++pStats->nLines;
            if (!D.empty()) {
                pStats->nLastFilled = pStats->nLines;
                pStats->nSkippedBeforeFilled = pStats->nSkipped;
            } else if (!T.empty()) {
                ++pStats->nSkipped;
            }
        }
        if (!(D != T && D.empty())) {
            if (pValues == nullptr) {
                // counting only
            } else if (line.placeholders.IsEmpty()) {
                if (D != T) {
                    if (pStats != nullptr) {
                        pStats->bStopped = true;
                        pStats->nStopTemplateLine = j;
                        pStats->stopText = D;
                    }
                    return false;
                }
            } else {
                const size_t nLineOffset = nDataStart + static_cast<size_t>(D.data() - data.data());
                const size_t nBefore = pValues->size();
                MatchLine(line, D, nLineOffset, data.data() + data.size(), *pValues);
                if (pStats != nullptr && pStats->nOpenMisses > 0 &&
                    pValues->size() - nBefore < line.names.size())
                    NoteMisses(line, *pValues, nBefore, *pStats);
            }
            j = j + 1 < nTemplateLines ? j + 1 : 0;
        }
        if (nBreak == string_view::npos || nBreak == nLastBreak)
            break;
        nPos = nBreak + 2;
    }
    return true;
}
