#include "JetHeaderPage.h"

#include <array>
#include <cmath>
#include <cstring>
#include <utility>

namespace jet {

namespace {

constexpr char kFormatName[] = "Standard Jet DB"; // stored with its NUL
constexpr double kSecondsPerDay = 86400.0;
// Days from 30 December 1899 to 1 January 1970.
constexpr double kUnixEpochAsJetDate = 25569.0;

} // namespace

double ToJetDate(std::time_t tWhen)
{
    std::tm local{};
    ::localtime_r(&tWhen, &local);
    const double dLocalSeconds = static_cast<double>(tWhen) + static_cast<double>(local.tm_gmtoff);
    return kUnixEpochAsJetDate + dLocalSeconds / kSecondsPerDay;
}

void Rc4(uint32_t nKey, uint8_t* pBytes, size_t nCount)
{
    const std::array<uint8_t, 4> key = {static_cast<uint8_t>(nKey), static_cast<uint8_t>(nKey >> 8),
                                        static_cast<uint8_t>(nKey >> 16),
                                        static_cast<uint8_t>(nKey >> 24)};
    std::array<uint8_t, 256> state{};
    for (size_t i = 0; i < state.size(); ++i)
        state[i] = static_cast<uint8_t>(i);
    uint8_t j = 0;
    for (size_t i = 0; i < state.size(); ++i) {
        j = static_cast<uint8_t>(j + state[i] + key[i % key.size()]);
        std::swap(state[i], state[j]);
    }
    uint8_t a = 0;
    uint8_t b = 0;
    for (size_t n = 0; n < nCount; ++n) {
        a = static_cast<uint8_t>(a + 1);
        b = static_cast<uint8_t>(b + state[a]);
        std::swap(state[a], state[b]);
        pBytes[n] ^= state[static_cast<uint8_t>(state[a] + state[b])];
    }
}

CJetPage MakeHeaderPage(std::time_t tCreated)
{
    CJetPage page(kPageDatabase);
    page.PutBytes(kHeaderMagicAt, std::string_view(kFormatName, sizeof(kFormatName)));
    page.Put32(kHeaderVersionAt, kJetVersion4);

    page.Put16(kHeaderCodePageAt, kCodePageWestern);
    page.Put32(kHeaderDatabaseKeyAt, 0);
    page.Put16(kHeaderSortOrderAt, kSortGeneral);
    const double dCreated = ToJetDate(tCreated);
    uint64_t nCreatedBits = 0;
    std::memcpy(&nCreatedBits, &dCreated, sizeof(nCreatedBits));
    page.Put32(kHeaderCreatedAt, static_cast<uint32_t>(nCreatedBits));
    page.Put32(kHeaderCreatedAt + 4, static_cast<uint32_t>(nCreatedBits >> 32));
    // Jet 4 masks the password with the whole days of the creation date,
    // repeated; an empty password is stored as the mask itself.
    const auto nDays = static_cast<uint32_t>(std::floor(dCreated));
    for (uint32_t i = 0; i < kHeaderPasswordSize; i += 4)
        page.Put32(kHeaderPasswordAt + i, nDays);

    Rc4(kHeaderMaskKey, page.Data() + kHeaderMaskedAt, kHeaderMaskedSize);
    return page;
}

} // namespace jet
