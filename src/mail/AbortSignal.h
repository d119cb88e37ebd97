#pragma once
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <mutex>

// Ends the sender thread's work early when a stop has waited long enough:
// its pauses end at once, and the socket it is using is shut down in both
// directions so that a blocked connect, send or recv returns. Only the
// sender thread ever closes that socket.
class AbortSignal {
public:
    AbortSignal();
    ~AbortSignal();
    AbortSignal(const AbortSignal&) = delete;
    AbortSignal& operator=(const AbortSignal&) = delete;

    // From the stopping thread.
    void raise();
    // Before a new start; forgets the raise and the watched socket.
    void clear();
    bool raised() const { return raised_; }

    // Waits the given time unless the signal is raised first.
    void pause(DWORD milliseconds);

    // The sender thread's socket from its creation until just before it is
    // closed. A socket watched after the raise is shut down at once.
    void watch(SOCKET socket);
    void unwatch();

private:
    HANDLE event_;
    std::atomic<bool> raised_{false};
    std::mutex guard_;
    SOCKET watched_ = INVALID_SOCKET;
};
