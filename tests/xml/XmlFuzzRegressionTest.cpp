// Replays the fuzz targets' seed inputs and every input that once made a
// target fail, so those cases stay fixed without a fuzzing build.
#include "XmlFuzzCases.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> InputsUnder(const fs::path& dir)
{
    std::vector<fs::path> files;
    if (fs::is_directory(dir)) {
        for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
            if (entry.is_regular_file())
                files.push_back(entry.path());
        }
    }
    return files;
}

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Replay(const char* pszKind, std::string (*pfnCase)(const uint8_t*, size_t))
{
    const fs::path dirs[] = {fs::path(KORVANE_TEST_DATA_DIR) / "xml-fuzz" / pszKind,
                             fs::path(KORVANE_FUZZ_CORPUS_DIR) / pszKind};
    size_t nInputs = 0;
    for (const fs::path& dir : dirs) {
        for (const fs::path& file : InputsUnder(dir)) {
            const std::string strBytes = ReadBytes(file);
            EXPECT_EQ(pfnCase(reinterpret_cast<const uint8_t*>(strBytes.data()), strBytes.size()),
                      "")
                << file;
            ++nInputs;
        }
    }
    EXPECT_GT(nInputs, 0u) << "no inputs found for " << pszKind;
}

TEST(XmlFuzzRegressionTest, ParseInputs) { Replay("parse", xmlfuzz::RunParseCase); }

TEST(XmlFuzzRegressionTest, EditInputs) { Replay("edit", xmlfuzz::RunEditCase); }

} // namespace
