// Every text the parser accepts must have records that agree with it.
#include "support/XmlFuzzCases.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string strError = xmlfuzz::RunParseCase(pData, nSize);
    if (!strError.empty()) {
        std::fprintf(stderr, "parse case failed: %s\n", strError.c_str());
        std::abort();
    }
    return 0;
}
