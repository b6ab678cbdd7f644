#pragma once
// Replays the inputs of a fuzz target through the target's body, so that
// they stay fixed without a fuzzing build: the seed corpus under
// fuzz/corpus/<target>/ and the inputs that once made the target fail,
// kept under tests/data/fuzz/<target>/.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using FFuzzCase = std::string (*)(const uint8_t* pData, size_t nSize);

inline void ReplayFuzzInputs(const char* pszTarget, FFuzzCase pfnCase)
{
    namespace fs = std::filesystem;
    const fs::path dirs[] = {fs::path(KORVANE_FUZZ_CORPUS_DIR) / pszTarget,
                             fs::path(KORVANE_TEST_DATA_DIR) / "fuzz" / pszTarget};
    size_t nInputs = 0;
    for (const fs::path& dir : dirs) {
        if (!fs::is_directory(dir))
            continue;
        for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
            if (!entry.is_regular_file())
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string strBytes{std::istreambuf_iterator<char>(in),
                                       std::istreambuf_iterator<char>()};
            EXPECT_EQ(pfnCase(reinterpret_cast<const uint8_t*>(strBytes.data()), strBytes.size()),
                      "")
                << entry.path();
            ++nInputs;
        }
    }
    EXPECT_GT(nInputs, 0u) << "no inputs for " << pszTarget;
}
