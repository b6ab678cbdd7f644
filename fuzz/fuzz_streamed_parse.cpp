// The streamed parse, in pieces of a size the input chooses, against the
// whole parse of the same text and of the same data file.
#include "support/EngineFuzzCases.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string strError = enginefuzz::RunStreamedParseCase(pData, nSize);
    if (!strError.empty()) {
        std::fprintf(stderr, "streamed parse case failed: %s\n", strError.c_str());
        std::abort();
    }
    return 0;
}
