#include "delivery/SenderThread.h"

#include <memory>
#include <new>
#include <optional>

#include "delivery/MailQueue.h"
#include "delivery/Transport.h"
#include "delivery/TransportFactory.h"

namespace {

const DWORD kPassPauseMs = 100;
const DWORD kMailPauseMs = 1000;
const DWORD kStopWaitMs = 2000;
// How long an aborted thread gets to close its session and end by itself,
// and how long a killed one gets to be gone.
const DWORD kAbortWaitMs = 500;
const DWORD kTerminateWaitMs = 1000;

}  // namespace

SenderThread::~SenderThread() { stop(); }

void SenderThread::start(MailQueue& queue, const std::string& logDirectory,
                         FailureSink* failures) {
    if (thread_) return;
    queue_ = &queue;
    reporter_.emplace(logDirectory, failures);
    abort_.clear();
    senderRunning_ = true;
    thread_ = CreateThread(nullptr, 0, &SenderThread::run, this, 0, nullptr);
}

StopOutcome SenderThread::stop() {
    senderRunning_ = false;
    if (!thread_) return StopOutcome::NotStarted;
    StopOutcome outcome = StopOutcome::Ended;
    if (WaitForSingleObject(thread_, kStopWaitMs) == WAIT_TIMEOUT) {
        abort_.raise();
        outcome = StopOutcome::Aborted;
        if (WaitForSingleObject(thread_, kAbortWaitMs) == WAIT_TIMEOUT) {
            TerminateThread(thread_, 0);
            WaitForSingleObject(thread_, kTerminateWaitMs);
            outcome = StopOutcome::Terminated;
        }
    }
    CloseHandle(thread_);
    thread_ = nullptr;
    return outcome;
}

DWORD WINAPI SenderThread::run(LPVOID self) {
    static_cast<SenderThread*>(self)->loop();
    return 0;
}

void SenderThread::loop() {
    while (senderRunning_) {
        try {
            if (std::optional<DeliveryJob> front = nextFront()) serveBatch(*front);
        } catch (const std::bad_alloc&) {
            // Out of memory for a copy: the pass is skipped, the jobs stay.
        }
        abort_.pause(kPassPauseMs);
    }
}

// Kept jobs go first once their pause is over; new ones wait behind them.
std::optional<DeliveryJob> SenderThread::nextFront() {
    const ExpiredMails expired = retry_.dropExpired();
    if (expired.count > 0) {
        reporter_->retriesEnded(TransportFactory::routeOf(expired.first), expired.count,
                                expired.retryMinutes);
    }
    if (!retry_.empty()) return retry_.due() ? retry_.front() : std::nullopt;
    return queue_->front();
}

void SenderThread::serveBatch(const DeliveryJob& front) {
    const std::unique_ptr<Transport> transport = TransportFactory::make(front, &abort_);
    DeliveryOutcome opened;
    opened.stage = "connect";
    opened.failure = "no client takes this job";
    if (transport) opened = transport->open(front);
    if (!opened.succeeded()) {
        // An abort keeps every job for the next start.
        if (!abort_.raised()) keepOrDropWaiting(front, opened);
        return;
    }
    reporter_->connected(TransportFactory::routeOf(front), opened);
    drain(*transport, front);
    transport->close();
    reporter_->attemptEnded();
}

// A failed connection drops every waiting job of its batch, unless the jobs
// ask for retries and the server did not refuse for good: those are kept,
// in order. Only an attempt that dropped jobs raises an alert.
void SenderThread::keepOrDropWaiting(const DeliveryJob& front, const DeliveryOutcome& open) {
    const Route route = TransportFactory::routeOf(front);
    std::size_t dropped = 0;
    if (!keepsMailsAfterOpen(open)) {
        while (nextOfBatch(front)) ++dropped;
        reporter_->notConnected(route, open, dropped);
        return;
    }
    const auto inBatch = [&front](const DeliveryJob& job) { return TransportFactory::sameBatch(front, job); };
    while (std::optional<DeliveryJob> job = queue_->takeIf(inBatch)) {
        if (!retry_.keepWaiting(std::move(*job))) ++dropped;
    }
    if (!retry_.empty()) retry_.attemptFailed();
    reporter_->notConnected(route, open, dropped);
}

void SenderThread::dropWaiting(std::size_t gatheredMessages) {
    if (!queue_) return;
    const std::size_t waiting = retry_.dropAll() + queue_->discardAll();
    if (reporter_ && waiting > 0) reporter_->droppedAtUnload(waiting);
    if (reporter_ && gatheredMessages > 0) reporter_->gatheredDroppedAtUnload(gatheredMessages);
}

// The next job of the batch: kept ones first, in their order; a kept job of
// another batch ends this one, so that nothing overtakes it.
std::optional<DeliveryJob> SenderThread::nextOfBatch(const DeliveryJob& front) {
    if (const std::optional<DeliveryJob> kept = retry_.front()) {
        return TransportFactory::sameBatch(front, *kept) ? retry_.take() : std::nullopt;
    }
    return queue_->takeIf([&front](const DeliveryJob& job) { return TransportFactory::sameBatch(front, job); });
}

void SenderThread::drain(Transport& transport, const DeliveryJob& front) {
    while (!abort_.raised()) {
        const std::optional<DeliveryJob> job = nextOfBatch(front);
        if (!job) return;
        const DeliveryOutcome outcome = transport.send(*job);
        // A job refused for now ends the batch, so that none overtakes it.
        const bool kept = retry_.mailDone(*job, outcome);
        reporter_->mailDone(TransportFactory::addresseeOf(*job), outcome, kept);
        if (kept) return;
        abort_.pause(kMailPauseMs);
    }
}
