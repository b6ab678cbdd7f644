#include "PatternScan.h"

#include "CharSet.h"

using std::string_view;

CCapture ScanPattern(string_view D, string_view P)
{
    CCapture capture;
    size_t d = 0;
    size_t p = 0;
    for (;;) {
        if (p >= P.size())
            return capture;
        const char pc = P[p];
        if (IsScanSpace(pc)) {
            while (p < P.size() && IsScanSpace(P[p]))
                ++p;
            while (d < D.size() && IsScanSpace(D[d]))
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

bool MatchText(string_view D, size_t& d, string_view text)
{
    size_t p = 0;
    while (p < text.size()) {
        if (IsScanSpace(text[p])) {
            while (p < text.size() && IsScanSpace(text[p]))
                ++p;
            while (d < D.size() && IsScanSpace(D[d]))
                ++d;
            continue;
        }
        // A run of ordinary bytes compares in one go.
        size_t q = p + 1;
        while (q < text.size() && !IsScanSpace(text[q]))
            ++q;
        const size_t n = q - p;
        if (d + n > D.size() || D.compare(d, n, text.substr(p, n)) != 0)
            return false;
        d += n;
        p = q;
    }
    return true;
}
