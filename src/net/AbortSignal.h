#pragma once
#include <windows.h>

#include <atomic>
#include <mutex>

class Connection;

// Ends the sender thread's work early when a stop has waited long enough:
// its pauses end at once, and the connection it is using is shut down in
// both directions so that a blocked connect, send, receive or TLS handshake
// returns. Only the sender thread ever closes that connection.
class AbortSignal {
public:
    AbortSignal();
    ~AbortSignal();
    AbortSignal(const AbortSignal&) = delete;
    AbortSignal& operator=(const AbortSignal&) = delete;

    // From the stopping thread.
    void raise();
    // Before a new start; forgets the raise and the watched connection.
    void clear();
    bool raised() const { return raised_; }

    // Waits the given time unless the signal is raised first.
    void pause(DWORD milliseconds);

    // The sender thread's connection from the creation of its socket until
    // just before it is closed. A connection watched after the raise is shut
    // down at once.
    void watch(Connection* connection);
    void unwatch();

private:
    HANDLE event_;
    std::atomic<bool> raised_{false};
    std::mutex guard_;
    Connection* watched_ = nullptr;
};
