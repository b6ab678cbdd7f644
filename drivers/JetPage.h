#pragma once
// One page of a Jet database file being written: 4096 bytes, zero where
// nothing was put, with little-endian stores.

#include "JetFormat.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string_view>

class CJetPage
{
public:
    CJetPage() { m_bytes.fill(0); }
    CJetPage(uint8_t nKind) : CJetPage()
    {
        m_bytes[0] = nKind;
        m_bytes[1] = jet::kPageMarker;
    }

    void Put8(uint32_t nAt, uint8_t nValue) { m_bytes.at(nAt) = nValue; }
    void Put16(uint32_t nAt, uint16_t nValue)
    {
        Put8(nAt, static_cast<uint8_t>(nValue));
        Put8(nAt + 1, static_cast<uint8_t>(nValue >> 8));
    }
    void Put32(uint32_t nAt, uint32_t nValue)
    {
        Put16(nAt, static_cast<uint16_t>(nValue));
        Put16(nAt + 2, static_cast<uint16_t>(nValue >> 16));
    }
    void PutBytes(uint32_t nAt, std::string_view bytes)
    {
        if (bytes.size() > jet::kPageSize || nAt > jet::kPageSize - bytes.size())
            throw std::out_of_range("CJetPage::PutBytes");
        std::memcpy(m_bytes.data() + nAt, bytes.data(), bytes.size());
    }

    uint8_t Get8(uint32_t nAt) const { return m_bytes.at(nAt); }
    uint16_t Get16(uint32_t nAt) const
    {
        return static_cast<uint16_t>(Get8(nAt) | (Get8(nAt + 1) << 8));
    }

    uint8_t* Data() { return m_bytes.data(); }
    const uint8_t* Data() const { return m_bytes.data(); }

private:
    std::array<uint8_t, jet::kPageSize> m_bytes;
};

// Little-endian stores into a byte string that grows, for rows and table
// definitions that are assembled before they are laid on pages.
namespace jet {
inline void Append16(std::string& str, uint16_t nValue)
{
    str.push_back(static_cast<char>(nValue & 0xFF));
    str.push_back(static_cast<char>(nValue >> 8));
}
inline void Append32(std::string& str, uint32_t nValue)
{
    Append16(str, static_cast<uint16_t>(nValue));
    Append16(str, static_cast<uint16_t>(nValue >> 16));
}
inline void Store16(std::string& str, size_t nAt, uint16_t nValue)
{
    str.at(nAt) = static_cast<char>(nValue & 0xFF);
    str.at(nAt + 1) = static_cast<char>(nValue >> 8);
}
inline void Store32(std::string& str, size_t nAt, uint32_t nValue)
{
    Store16(str, nAt, static_cast<uint16_t>(nValue));
    Store16(str, nAt + 2, static_cast<uint16_t>(nValue >> 16));
}
} // namespace jet
