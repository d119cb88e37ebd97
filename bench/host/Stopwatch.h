#pragma once
#include <windows.h>

// Elapsed wall-clock time from the performance counter.
class Stopwatch {
public:
    Stopwatch() { QueryPerformanceCounter(&start_); }

    double microseconds() const {
        LARGE_INTEGER now;
        LARGE_INTEGER frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return double(now.QuadPart - start_.QuadPart) * kMicrosecondsPerSecond / double(frequency.QuadPart);
    }
    double milliseconds() const { return microseconds() / kMicrosecondsPerMillisecond; }

private:
    static constexpr double kMicrosecondsPerSecond = 1e6;
    static constexpr double kMicrosecondsPerMillisecond = 1e3;
    LARGE_INTEGER start_;
};
