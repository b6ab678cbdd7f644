#pragma once
// The entry every fuzz target shares: one case run on the input, and an
// abort with the case's error when it fails, so that libFuzzer keeps the
// input that found it.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// A case gives an empty text when the input passes and what went wrong when
// it does not.
using FFuzzCase = std::string (*)(const uint8_t* pData, size_t nSize);

inline int RunFuzzCase(FFuzzCase runCase, const char* pszName, const uint8_t* pData, size_t nSize)
{
    const std::string strError = runCase(pData, nSize);
    if (!strError.empty()) {
        std::fprintf(stderr, "%s case failed: %s\n", pszName, strError.c_str());
        std::abort();
    }
    return 0;
}
