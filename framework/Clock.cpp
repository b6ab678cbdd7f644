#include "Clock.h"

#include <utility>

namespace platform {

namespace {

std::function<std::time_t()>& InstalledClock()
{
    static std::function<std::time_t()> fnClock;
    return fnClock;
}

} // namespace

std::time_t CurrentTime()
{
    const std::function<std::time_t()>& fnClock = InstalledClock();
    return fnClock ? fnClock() : std::time(nullptr);
}

void SetClock(std::function<std::time_t()> fnClock) { InstalledClock() = std::move(fnClock); }

bool ToLocalTime(std::time_t tTime, std::tm& tmLocal)
{
    return localtime_r(&tTime, &tmLocal) != nullptr;
}

} // namespace platform
