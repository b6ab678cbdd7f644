#include "LineWalk.h"

#include "PatternScan.h"
#include "ValueList.h"
#include "framework/StringUtil.h"

using std::string_view;

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
                MatchLine(line, D, nLineOffset, data.data() + data.size(), *pValues);
            }
            j = j + 1 < nTemplateLines ? j + 1 : 0;
        }
        if (nBreak == string_view::npos || nBreak == nLastBreak)
            break;
        nPos = nBreak + 2;
    }
    return true;
}
