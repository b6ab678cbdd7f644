// The streamed parse, in pieces of a size the input chooses, against the
// whole parse of the same text and of the same data file.
#include "FuzzEntry.h"
#include "support/EngineFuzzCases.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    return RunFuzzCase(enginefuzz::RunStreamedParseCase, "streamed parse", pData, nSize);
}
