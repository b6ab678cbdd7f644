// Feeds arbitrary bytes to the text file reader through a real file and
// checks that what comes back is well-formed UTF-8 with CR LF line ends only.
#include "FuzzEntry.h"
#include "support/EngineFuzzCases.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    return RunFuzzCase(enginefuzz::RunTextReaderCase, "text reader", pData, nSize);
}
