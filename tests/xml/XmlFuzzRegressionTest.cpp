// Replays the XML fuzz targets' seed inputs and every input that once made
// a target fail.
#include "support/FuzzReplay.h"
#include "support/XmlFuzzCases.h"

#include <gtest/gtest.h>

TEST(XmlFuzzRegressionTest, ParseInputs)
{
    ReplayFuzzInputs("fuzz_xml_parse", xmlfuzz::RunParseCase);
}

TEST(XmlFuzzRegressionTest, EditInputs) { ReplayFuzzInputs("fuzz_xml_edit", xmlfuzz::RunEditCase); }
