#include "TestHook.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace testhook {

namespace {

struct CHook
{
    std::size_t nSignalAfter = 0; // 0: no signal
    std::string strNoMemoryAt;
};

const CHook& Hook()
{
    static const CHook hook = []() {
        CHook h;
        const char* pszHook = std::getenv("KORVANE_TEST_HOOK");
        if (pszHook == nullptr)
            return h;
        const std::string strHook = pszHook;
        if (strHook.rfind("signal:", 0) == 0)
            h.nSignalAfter = std::strtoull(strHook.c_str() + 7, nullptr, 10);
        else if (strHook.rfind("nomem:", 0) == 0)
            h.strNoMemoryAt = strHook.substr(6);
        return h;
    }();
    return hook;
}

std::atomic<std::size_t> g_nWritten{0};

} // namespace

void Wrote(std::size_t nBytes)
{
    const std::size_t nAfter = Hook().nSignalAfter;
    if (nAfter != 0 && g_nWritten.fetch_add(nBytes) + nBytes >= nAfter)
        std::raise(SIGTERM);
}

void Reached(const char* pszStep)
{
    if (!Hook().strNoMemoryAt.empty() && Hook().strNoMemoryAt == pszStep)
        throw std::bad_alloc();
}

} // namespace testhook
