// SetText followed by a run of edits that the input spells out; the records
// must agree with the text after every edit.
#include "FuzzEntry.h"
#include "support/XmlFuzzCases.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    return RunFuzzCase(xmlfuzz::RunEditCase, "edit", pData, nSize);
}
