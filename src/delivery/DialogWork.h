#pragma once
#include <windows.h>

#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "net/AbortSignal.h"

// Work a dialog asked for (a test mail, an inbox check) on a thread of its
// own, so that the dialog goes on. When the work is done its result is kept
// here and a message without parameters tells the dialog's window, which
// then takes the result.
class DialogWork {
public:
    // Gives back what the dialog shows; the signal is raised by a cancel.
    using Work = std::function<std::string(AbortSignal* abort)>;

    DialogWork() = default;
    // Cancels work under way.
    ~DialogWork();
    DialogWork(const DialogWork&) = delete;
    DialogWork& operator=(const DialogWork&) = delete;

    // False, starting nothing, while earlier work is under way or when no
    // thread can be made.
    bool start(Work work, HWND window, UINT message);
    // On the window's thread: ends work under way and drops its result
    // unread, so that nothing reaches the window afterwards.
    void cancel();
    bool running() const;

    // On the message: the result kept, once; nothing when there is none (a
    // message of that number from anyone else).
    std::optional<std::string> takeResult();

private:
    static DWORD WINAPI run(LPVOID self);
    void closeThread();

    HANDLE thread_ = nullptr;
    AbortSignal abort_;
    Work work_;
    HWND window_ = nullptr;
    UINT message_ = 0;
    std::mutex resultGuard_;
    std::optional<std::string> result_;
};
