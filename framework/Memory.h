#pragma once
// Large buffers: the data text of a big file, the value table of a parse and
// the cell store of a big list run to hundreds of megabytes. Backing them
// with huge pages spares the kernel most of the page faults of filling them.

#include "StringTypes.h"

#include <cstddef>
#include <cstdlib>
#include <new>
#include <string_view>

namespace mem {

// Asks for huge pages behind [p, p + nBytes) before the range is first
// touched. Only whole huge pages inside the range are affected; small
// ranges and systems without the feature are left as they are.
void AdviseHugePages(void* p, size_t nBytes);

// Reserves room for nBytes in a string and advises huge pages for it.
void ReserveLarge(CString& str, size_t nBytes);

// str = text, where a large text gets a fresh buffer with huge pages
// advised: a copy of a loaded file then costs a few page faults instead of
// one per page.
void AssignLarge(CString& str, std::string_view text);

// Allocates nBytes; blocks of several megabytes come on huge-page
// boundaries with huge pages advised. Freed with FreeLarge.
void* AllocateLarge(size_t nBytes);
void FreeLarge(void* p) noexcept;

// An allocator for vectors that may grow to hundreds of megabytes.
template <class T>
struct CLargeAllocator
{
    using value_type = T;
    CLargeAllocator() = default;
    template <class U>
    CLargeAllocator(const CLargeAllocator<U>& /*other*/) noexcept
    {}
    T* allocate(size_t n) { return static_cast<T*>(AllocateLarge(n * sizeof(T))); }
    void deallocate(T* p, size_t /*n*/) noexcept { FreeLarge(p); }
    template <class U>
    bool operator==(const CLargeAllocator<U>& /*other*/) const noexcept
    {
        return true;
    }
    template <class U>
    bool operator!=(const CLargeAllocator<U>& /*other*/) const noexcept
    {
        return false;
    }
};

} // namespace mem
