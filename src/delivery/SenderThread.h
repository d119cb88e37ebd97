#pragma once
#include <windows.h>

#include <atomic>
#include <optional>
#include <cstddef>
#include <string>

#include "net/AbortSignal.h"
#include "delivery/DeliveryReporter.h"
#include "delivery/RetryBacklog.h"

class MailQueue;
class FailureSink;
class Transport;

// How a stop ended the thread.
enum class StopOutcome {
    NotStarted,  // there was no thread
    Ended,       // it finished its work within the wait
    Aborted,     // it was asked to abort and then ended by itself
    Terminated,  // it had to be killed
};

// The worker that drains the queue, one connection per batch: the run of
// waiting jobs that go out with the job at its front (every mail goes to the
// server and HELO domain of the front mail), with a pause of 1000 ms after
// every job and of 100 ms after every pass.
class SenderThread {
public:
    SenderThread() = default;
    ~SenderThread();
    SenderThread(const SenderThread&) = delete;
    SenderThread& operator=(const SenderThread&) = delete;

    // Sets the running flag and creates the thread over the queue. Does nothing
    // while a thread is already running. The thread logs its attempts in the
    // log directory (none when empty) and tells the sink of every failed one.
    void start(MailQueue& queue, const std::string& logDirectory = std::string(),
               FailureSink* failures = nullptr);
    // Clears the running flag and gives the thread 2000 ms to finish; then asks
    // it to abort, which leaves every job not yet taken in the queue, and
    // kills it only if it still has not ended shortly after. Closes its
    // handle.
    StopOutcome stop();
    // What the tests observe of the thread's handle.
    bool started() const { return thread_ != nullptr; }
    // Once the thread has ended for good: drops the mails still waiting and
    // says in the delivery log how many, and how many messages the plug-in
    // had gathered for mails not yet made.
    void dropWaiting(std::size_t gatheredMessages = 0);
    // The tests' way to shorten the pauses between attempts; before start.
    void setRetryTiming(const RetryTiming& timing) { retry_.setTiming(timing); }

private:
    static DWORD WINAPI run(LPVOID self);
    void loop();
    std::optional<DeliveryJob> nextFront();
    void serveBatch(const DeliveryJob& front);
    void keepOrDropWaiting(const DeliveryJob& front, const DeliveryOutcome& open);
    std::optional<DeliveryJob> nextOfBatch(const DeliveryJob& front);
    void drain(Transport& transport, const DeliveryJob& front);

    HANDLE thread_ = nullptr;
    // Written by the host's thread, read by the sender thread on every pass.
    std::atomic<bool> senderRunning_{false};
    MailQueue* queue_ = nullptr;
    AbortSignal abort_;
    std::optional<DeliveryReporter> reporter_;
    // Survives a stop, so that a later start tries its mails again.
    RetryBacklog retry_;
};
