#include "delivery/SteadyClock.h"

#include <windows.h>

// The performance counter, which every Windows since XP has and which does
// not wrap as GetTickCount does after 49 days (GetTickCount64 is missing
// before Vista). std::chrono's steady clock reads the same counter by way of
// the threads library, which the DLL would carry for nothing else.
uint64_t steadyMilliseconds() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) return GetTickCount();
    QueryPerformanceCounter(&counter);
    const uint64_t ticks = static_cast<uint64_t>(counter.QuadPart);
    const uint64_t perSecond = static_cast<uint64_t>(frequency.QuadPart);
    return ticks / perSecond * 1000 + ticks % perSecond * 1000 / perSecond;
}
