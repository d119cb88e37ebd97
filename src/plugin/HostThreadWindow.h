#pragma once
#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>

// A message-only window on the host's thread that runs work handed over by
// other threads there, the only thread that may call the host. The tasks
// wait in a locked queue and the window's message carries nothing, so a
// message of the same number from another program only makes the window
// look at its queue. Created at start before the threads that hand over,
// destroyed at stop after they end.
class HostThreadWindow {
public:
    using Task = std::function<void()>;

    HostThreadWindow() = default;
    ~HostThreadWindow();
    HostThreadWindow(const HostThreadWindow&) = delete;
    HostThreadWindow& operator=(const HostThreadWindow&) = delete;

    // On the host's thread. False when the window could not be made; work
    // handed over is then refused.
    bool create(HINSTANCE module);
    // On the host's thread, once the other threads are done handing over:
    // tasks not yet run are dropped.
    void destroy();

    // From any thread: the task runs on the host's thread soon. False when
    // there is no window to run it.
    bool post(Task task);

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void runWaiting();

    std::atomic<HWND> window_{nullptr};
    HINSTANCE module_ = nullptr;
    std::mutex guard_;
    std::deque<Task> tasks_;
};
