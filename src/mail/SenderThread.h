#pragma once
#include <windows.h>

#include <atomic>

class MailQueue;

// Written by the host's thread, read by the sender thread on every pass.
extern std::atomic<bool> senderRunning;

// The worker that drains the mail queue, one SMTP connection per batch.
class SenderThread {
public:
    SenderThread() = default;
    ~SenderThread();
    SenderThread(const SenderThread&) = delete;
    SenderThread& operator=(const SenderThread&) = delete;

    // Sets senderRunning and creates the thread over the queue. Does nothing
    // while a thread is already running.
    void start(MailQueue& queue);
    // Clears senderRunning and ends the thread, then closes its handle.
    void stop();
    bool started() const { return thread_ != nullptr; }

private:
    HANDLE thread_ = nullptr;
};
