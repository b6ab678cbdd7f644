#include "UniqueNames.h"

#include <string>
#include <unordered_set>

namespace {

CString Folded(const CString& strName, ENameCase eCase)
{
    if (eCase == ENameCase::Exact)
        return strName;
    CString strFolded = strName;
    for (char& ch : strFolded) {
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    }
    return strFolded;
}

} // namespace

std::vector<CString> MakeUniqueNames(const std::vector<CString>& names, ENameCase eCase)
{
    // Every name given is taken from the start, so that a suffixed name
    // never meets a caption of a later column.
    std::unordered_set<CString> taken;
    for (const CString& strName : names)
        taken.insert(Folded(strName, eCase));
    std::unordered_set<CString> placed;
    std::vector<CString> unique;
    unique.reserve(names.size());
    for (const CString& strName : names) {
        if (placed.insert(Folded(strName, eCase)).second) {
            unique.push_back(strName);
            continue;
        }
        for (int n = 2;; ++n) {
            CString strCandidate = strName + "_" + std::to_string(n);
            if (taken.insert(Folded(strCandidate, eCase)).second) {
                unique.push_back(std::move(strCandidate));
                break;
            }
        }
    }
    return unique;
}
