#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>

// A one-shot timer on the host's thread: once armed, its handler runs from
// the host's message loop after the delay. A message-only window of its own
// carries the timer, so that nothing else posted to the plug-in's windows
// can reach the handler. Made at start, destroyed with any pending tick at
// stop.
class TickTimer {
public:
    using Handler = std::function<void()>;

    TickTimer() = default;
    ~TickTimer();
    TickTimer(const TickTimer&) = delete;
    TickTimer& operator=(const TickTimer&) = delete;

    // False when the window could not be made; the timer then never ticks.
    bool create(HINSTANCE module, Handler handler);
    void destroy();

    // Replaces a pending tick with one after the delay.
    void arm(uint32_t delayMs);
    void disarm();

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    HINSTANCE module_ = nullptr;
    Handler handler_;
};
