#pragma once
#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>

#include "delivery/FailureSink.h"

// A message-only window on the host's thread that runs work handed over by
// other threads there, the only thread that may call the host: the sender
// thread's failed attempts, and any other task. The tasks wait in a locked
// queue and the window's message carries nothing, so a message of the same
// number from another program only makes the window look at its queue.
// Created at start before the sender thread, destroyed at stop after it.
class AlertWindow : public FailureSink {
public:
    using Handler = std::function<void(const FailedAttempt&)>;
    using Task = std::function<void()>;

    AlertWindow() = default;
    ~AlertWindow() override;
    AlertWindow(const AlertWindow&) = delete;
    AlertWindow& operator=(const AlertWindow&) = delete;

    // On the host's thread. False when the window could not be made; work
    // handed over is then dropped.
    bool create(HINSTANCE module, Handler handler);
    // On the host's thread, once the other threads are done handing over:
    // tasks not yet run are dropped.
    void destroy();

    // From any thread: the task runs on the host's thread soon. False when
    // there is no window to run it.
    bool post(Task task);

    // On the sender thread: the handler runs with the attempt.
    void attemptFailed(FailedAttempt attempt) override;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void runWaiting();

    std::atomic<HWND> window_{nullptr};
    HINSTANCE module_ = nullptr;
    Handler handler_;
    std::mutex guard_;
    std::deque<Task> tasks_;
};
