// Runs a whole parse on arbitrary settings, template and data, and compares
// the matcher's result with the reference matcher's.
#include "FuzzEntry.h"
#include "support/EngineFuzzCases.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    return RunFuzzCase(enginefuzz::RunMatcherCase, "parse", pData, nSize);
}
