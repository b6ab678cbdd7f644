// Every text the parser accepts must have records that agree with it.
#include "FuzzEntry.h"
#include "support/XmlFuzzCases.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    return RunFuzzCase(xmlfuzz::RunParseCase, "parse", pData, nSize);
}
