#include "PlaceholderScan.h"

#include <cstdint>
#include <iterator>
#include <map>
#include <unordered_map>
#include <unordered_set>

namespace {

// Hashes of the text's stretches (polynomial, modulo 2^64), so that equal
// stretches can be grouped without comparing them byte by byte; stretches
// that share a hash are still compared before they count as equal.
class CStretchHash
{
public:
    explicit CStretchHash(std::string_view text)
        : m_prefix(text.size() + 1), m_power(text.size() + 1)
    {
        m_power[0] = 1;
        for (size_t i = 0; i < text.size(); ++i) {
            m_prefix[i + 1] = m_prefix[i] * kBase + static_cast<unsigned char>(text[i]) + 1u;
            m_power[i + 1] = m_power[i] * kBase;
        }
    }
    std::uint64_t Of(size_t nFrom, size_t nLength) const
    {
        return (m_prefix[nFrom + nLength] - m_prefix[nFrom] * m_power[nLength]) ^
            (static_cast<std::uint64_t>(nLength) * 0x9E3779B97F4A7C15u);
    }

private:
    static constexpr std::uint64_t kBase = 0x100000001B3u;
    std::vector<std::uint64_t> m_prefix;
    std::vector<std::uint64_t> m_power;
};

std::vector<size_t> Occurrences(std::string_view text, std::string_view tag)
{
    std::vector<size_t> at;
    for (size_t n = text.find(tag); n != std::string_view::npos; n = text.find(tag, n + 1))
        at.push_back(n);
    return at;
}

// The stretches replaced so far, which do not overlap.
class CReplaced
{
public:
    bool Overlaps(size_t nFrom, size_t nTo) const
    {
        auto it = m_stretches.upper_bound(nFrom);
        if (it != m_stretches.begin() && std::prev(it)->second > nFrom)
            return true;
        return it != m_stretches.end() && it->first < nTo;
    }
    void Add(size_t nFrom, size_t nTo) { m_stretches.emplace(nFrom, nTo); }
    const std::map<size_t, size_t>& Get() const { return m_stretches; }

private:
    std::map<size_t, size_t> m_stretches;
};

} // namespace

bool ScanPlaceholders(std::string_view text, std::string_view strStart, std::string_view strEnd,
                      std::string_view strMarker, CPlaceholderScan& scan)
{
    if (strStart.empty() || strEnd.empty() || strMarker.empty() ||
        strMarker.find_first_of(strStart) != std::string_view::npos ||
        strMarker.find_first_of(strEnd) != std::string_view::npos)
        return false;
    const std::vector<size_t> starts = Occurrences(text, strStart);
    const std::vector<size_t> ends = Occurrences(text, strEnd);
    // Each start tag with the stretch up to the end of the first end tag at
    // or after it, grouped by the stretch's text.
    const CStretchHash hash(text);
    std::unordered_map<std::uint64_t, std::vector<size_t>> byText;
    std::vector<size_t> stretchEnd(starts.size(), std::string_view::npos);
    for (size_t i = 0, e = 0; i < starts.size(); ++i) {
        while (e < ends.size() && ends[e] < starts[i])
            ++e;
        if (e == ends.size())
            break;
        stretchEnd[i] = ends[e] + strEnd.size();
        byText[hash.Of(starts[i], stretchEnd[i] - starts[i])].push_back(starts[i]);
    }

    CPlaceholderScan result;
    CReplaced replaced;
    std::unordered_set<std::string_view> seen;
    size_t iStart = 0;
    size_t iEnd = 0;
    for (;;) {
        while (iStart < starts.size() &&
               replaced.Overlaps(starts[iStart], starts[iStart] + strStart.size()))
            ++iStart;
        while (iEnd < ends.size() && replaced.Overlaps(ends[iEnd], ends[iEnd] + strEnd.size()))
            ++iEnd;
        if (iStart == starts.size() || iEnd == ends.size() || ends[iEnd] <= starts[iStart])
            break;
        const size_t p = starts[iStart];
        const size_t nTo = ends[iEnd] + strEnd.size();
        if (replaced.Overlaps(p, nTo))
            return false; // the placeholder would hold a marker
        const std::string_view ph = text.substr(p, nTo - p);
        // A placeholder that holds the marker could stand again where a
        // marker went in.
        if (ph.find(strMarker) != std::string_view::npos)
            return false;
        if (!seen.insert(ph).second)
            break;
        CPlaceholderScan::CFound found{p, ph.size(), 0};
        size_t nTaken = 0; // the end of the occurrence replaced last
        for (const size_t s : byText[hash.Of(p, ph.size())]) {
            if (text.compare(s, ph.size(), ph) != 0)
                continue;
            ++found.nCount;
            if (s >= nTaken && !replaced.Overlaps(s, s + ph.size())) {
                replaced.Add(s, s + ph.size());
                nTaken = s + ph.size();
            }
        }
        result.found.push_back(found);
    }
    size_t nFrom = 0;
    for (const auto& [nAt, nTo] : replaced.Get()) {
        result.strWorking.append(text.substr(nFrom, nAt - nFrom)).append(strMarker);
        nFrom = nTo;
    }
    result.strWorking.append(text.substr(nFrom));
    scan = std::move(result);
    return true;
}
