#pragma once
// The current time, behind a seam so that tests can pin it.

#include <ctime>
#include <functional>

namespace platform {

// Seconds since the epoch, as time() gives them, unless a test has
// installed a clock of its own.
std::time_t CurrentTime();

// Installs a clock; an empty function puts time() back.
void SetClock(std::function<std::time_t()> fnClock);

// The time converted to local time in the process's time zone; false when
// it cannot be converted.
bool ToLocalTime(std::time_t tTime, std::tm& tmLocal);

} // namespace platform
