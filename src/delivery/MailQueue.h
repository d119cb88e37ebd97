#pragma once
#include <windows.h>

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "delivery/DeliveryJob.h"

// The named mutex "ZTSMTPLock", shared by every copy of the module loaded at
// the same time, with a wait of at most 5000 ms.
class QueueLock {
public:
    QueueLock();
    // A mutex of another name, for a queue that must not be shared.
    explicit QueueLock(const char* name);
    ~QueueLock();
    QueueLock(const QueueLock&) = delete;
    QueueLock& operator=(const QueueLock&) = delete;

    // True when the mutex was taken; the caller then calls release(). A
    // mutex left abandoned by a thread that ended holding it is not taken,
    // and is let go at once.
    bool acquire();
    void release();

private:
    DWORD timeoutMs_;
    HANDLE mutex_;
};

// First-in, first-out list of waiting jobs; every access holds the lock,
// and only for that access.
class MailQueue {
public:
    MailQueue() = default;
    explicit MailQueue(const char* lockName) : lock_(lockName) {}
    MailQueue(const MailQueue&) = delete;
    MailQueue& operator=(const MailQueue&) = delete;

    // Appends a copy; the job is dropped when the lock cannot be taken. The
    // tests' way to fill a queue job by job.
    void enqueue(const DeliveryJob& job);
    // Appends the jobs in their order under one taking of the lock. All are
    // dropped when the lock cannot be taken; false then.
    bool enqueueAll(std::vector<DeliveryJob>&& jobs);
    // Drops every waiting job; returns how many there were (0 when the lock
    // cannot be taken).
    std::size_t discardAll();

    // Removes and returns the front job; nothing when the queue is empty or
    // the lock cannot be taken.
    std::optional<DeliveryJob> take();
    // Removes and returns the front job when it belongs; nothing otherwise,
    // or when the queue is empty or the lock cannot be taken.
    std::optional<DeliveryJob> takeIf(const std::function<bool(const DeliveryJob&)>& belongs);
    // A copy of the front job, which stays queued; nothing when the queue is
    // empty or the lock cannot be taken.
    std::optional<DeliveryJob> front();
    // The number of waiting jobs; nothing when the lock cannot be taken.
    // What the tests observe of the queue.
    std::optional<std::size_t> waiting();

private:
    std::deque<DeliveryJob> jobs_;
    QueueLock lock_;
};
