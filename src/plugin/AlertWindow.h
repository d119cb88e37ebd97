#pragma once
#include <windows.h>

#include <atomic>
#include <functional>

#include "delivery/FailureSink.h"

// A message-only window on the host's thread, through which the sender
// thread hands over its failed attempts: the handler runs on the host's
// thread, the only thread that may call the host. Created at start before
// the sender thread, destroyed at stop after it.
class AlertWindow : public FailureSink {
public:
    using Handler = std::function<void(const FailedAttempt&)>;

    AlertWindow() = default;
    ~AlertWindow() override;
    AlertWindow(const AlertWindow&) = delete;
    AlertWindow& operator=(const AlertWindow&) = delete;

    // On the host's thread. False when the window could not be made; failed
    // attempts are then dropped.
    bool create(HINSTANCE module, Handler handler);
    // On the host's thread, once the sender thread has ended: attempts handed
    // over but not yet handled are dropped unhandled.
    void destroy();

    // On the sender thread.
    void attemptFailed(FailedAttempt attempt) override;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void handle(FailedAttempt* attempt);

    std::atomic<HWND> window_{nullptr};
    HINSTANCE module_ = nullptr;
    Handler handler_;
};
