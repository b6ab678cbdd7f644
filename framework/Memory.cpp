#include "Memory.h"

#include <cstdint>

#include <sys/mman.h>

namespace mem {

namespace {
constexpr size_t kHugePage = size_t{2} << 20;
} // namespace

void AdviseHugePages(void* p, size_t nBytes)
{
#ifdef MADV_HUGEPAGE
    const auto nStart = reinterpret_cast<std::uintptr_t>(p);
    const std::uintptr_t nFirst = (nStart + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t nLast = (nStart + nBytes) & ~(kHugePage - 1);
    if (nLast > nFirst)
        madvise(reinterpret_cast<void*>(nFirst), nLast - nFirst, MADV_HUGEPAGE);
#else
    (void)p;
    (void)nBytes;
#endif
}

void ReserveLarge(CString& str, size_t nBytes)
{
    const size_t nOld = str.capacity();
    str.reserve(nBytes);
    if (str.capacity() != nOld)
        AdviseHugePages(str.data() + str.size(), str.capacity() - str.size());
}

void AssignLarge(CString& str, std::string_view text)
{
    if (text.size() < 2 * kHugePage || str.capacity() >= text.size()) {
        str.assign(text);
        return;
    }
    CString fresh;
    ReserveLarge(fresh, text.size());
    fresh.assign(text);
    str.swap(fresh);
}

void* AllocateLarge(size_t nBytes)
{
    void* p = nullptr;
    if (nBytes >= 2 * kHugePage) {
        const size_t nRounded = (nBytes + kHugePage - 1) & ~(kHugePage - 1);
        p = std::aligned_alloc(kHugePage, nRounded);
        if (p != nullptr)
            AdviseHugePages(p, nRounded);
    } else {
        p = std::malloc(nBytes == 0 ? 1 : nBytes);
    }
    if (p == nullptr)
        throw std::bad_alloc();
    return p;
}

void FreeLarge(void* p) noexcept { std::free(p); }

} // namespace mem
