// Replays the engine's fuzz targets' seed inputs and every input that once
// made a target fail.
#include "support/EngineFuzzCases.h"
#include "support/FuzzReplay.h"

#include <gtest/gtest.h>

TEST(EngineFuzzRegressionTest, ParseInputs)
{
    ReplayFuzzInputs("fuzz_parse", enginefuzz::RunMatcherCase);
}

TEST(EngineFuzzRegressionTest, StreamedParseInputs)
{
    ReplayFuzzInputs("fuzz_streamed_parse", enginefuzz::RunStreamedParseCase);
}

TEST(EngineFuzzRegressionTest, TextReaderInputs)
{
    ReplayFuzzInputs("fuzz_text_reader", enginefuzz::RunTextReaderCase);
}
