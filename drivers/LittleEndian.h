#pragma once
// Appending integers in little-endian byte order, the order of every field
// in the file formats the stand-in drivers write.

#include "framework/StringTypes.h"

#include <cstdint>

namespace le {

inline void PutU8(CString& out, std::uint32_t n) { out.push_back(static_cast<char>(n & 0xFF)); }

inline void PutU16(CString& out, std::uint32_t n)
{
    PutU8(out, n);
    PutU8(out, n >> 8);
}

inline void PutU32(CString& out, std::uint32_t n)
{
    PutU16(out, n & 0xFFFF);
    PutU16(out, n >> 16);
}

inline void PutU64(CString& out, std::uint64_t n)
{
    PutU32(out, static_cast<std::uint32_t>(n & 0xFFFFFFFF));
    PutU32(out, static_cast<std::uint32_t>(n >> 32));
}

// Overwrites four bytes at nAt, which must lie inside out.
inline void SetU32(CString& out, size_t nAt, std::uint32_t n)
{
    for (int i = 0; i < 4; ++i)
        out[nAt + static_cast<size_t>(i)] = static_cast<char>((n >> (8 * i)) & 0xFF);
}

} // namespace le
