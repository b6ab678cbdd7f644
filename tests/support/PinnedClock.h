#pragma once
// Pins the platform clock for the life of the object, in the time zone the
// tests run in, so that the XML "created" value is known.

#include "framework/Clock.h"

#include <cstdlib>
#include <ctime>

class CPinnedClock
{
public:
    // 03/07/2011 14:05:09 in New York (19:05:09 UTC).
    static constexpr std::time_t kMarch7th2011 = 1299524709;

    explicit CPinnedClock(std::time_t tNow = kMarch7th2011)
    {
        // ctest sets the zone too; setting it here keeps a direct run of
        // the test binary the same.
        setenv("TZ", "America/New_York", 1);
        tzset();
        platform::SetClock([tNow] { return tNow; });
    }
    ~CPinnedClock() { platform::SetClock({}); }
    CPinnedClock(const CPinnedClock&) = delete;
    CPinnedClock& operator=(const CPinnedClock&) = delete;
};
