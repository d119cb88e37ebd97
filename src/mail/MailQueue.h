#pragma once
#include <windows.h>

#include <deque>

#include "mail/MailJob.h"

// The named mutex "ZTSMTPLock", shared by every copy of the module loaded at
// the same time, with a wait of at most 5000 ms.
class QueueLock {
public:
    QueueLock();
    ~QueueLock();
    QueueLock(const QueueLock&) = delete;
    QueueLock& operator=(const QueueLock&) = delete;

    // True when the mutex was taken; the caller then calls release().
    bool acquire();
    void release();

private:
    DWORD timeoutMs_;
    HANDLE mutex_;
};

// First-in, first-out list of waiting mails; every access holds the lock.
class MailQueue {
public:
    MailQueue() = default;
    MailQueue(const MailQueue&) = delete;
    MailQueue& operator=(const MailQueue&) = delete;

    // Appends a copy; the job is dropped when the lock cannot be taken.
    void enqueue(const MailJob& job);
    // Removes and returns the front job; a default job when the queue is
    // empty or the lock cannot be taken.
    MailJob dequeue();
    // Drops every waiting job.
    void discardAll();

private:
    std::deque<MailJob> jobs_;
    QueueLock lock_;
};
