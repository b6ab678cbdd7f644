// Runs a whole parse on arbitrary settings, template and data, and compares
// the matcher's result with the reference matcher's.
#include "support/EngineFuzzCases.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string strError = enginefuzz::RunMatcherCase(pData, nSize);
    if (!strError.empty()) {
        std::fprintf(stderr, "parse case failed: %s\n", strError.c_str());
        std::abort();
    }
    return 0;
}
