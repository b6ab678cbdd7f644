// SetText followed by a run of edits that the input spells out; the records
// must agree with the text after every edit.
#include "support/XmlFuzzCases.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string strError = xmlfuzz::RunEditCase(pData, nSize);
    if (!strError.empty()) {
        std::fprintf(stderr, "edit case failed: %s\n", strError.c_str());
        std::abort();
    }
    return 0;
}
