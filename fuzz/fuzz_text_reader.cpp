// Feeds arbitrary bytes to the text file reader through a real file and
// checks that what comes back is well-formed UTF-8 with CR LF line ends only.
#include "support/EngineFuzzCases.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string strError = enginefuzz::RunTextReaderCase(pData, nSize);
    if (!strError.empty()) {
        std::fprintf(stderr, "text reader case failed: %s\n", strError.c_str());
        std::abort();
    }
    return 0;
}
