#include "delivery/SenderThread.h"

#include <new>
#include <optional>

#include "mail/MailData.h"
#include "delivery/MailQueue.h"
#include "mail/SmtpSession.h"

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
            if (std::optional<MailJob> front = nextFront()) serveBatch(*front);
        } catch (const std::bad_alloc&) {
            // Out of memory for a copy: the pass is skipped, the jobs stay.
        }
        abort_.pause(kPassPauseMs);
    }
}

// Kept mails go first once their pause is over; new ones wait behind them.
std::optional<MailJob> SenderThread::nextFront() {
    const ExpiredMails expired = retry_.dropExpired();
    if (expired.count > 0) {
        reporter_->retriesEnded(expired.server, static_cast<unsigned>(portToUse(expired.options)),
                                expired.count, expired.retryMinutes);
    }
    if (!retry_.empty()) return retry_.due() ? retry_.front() : std::nullopt;
    return queue_->front();
}

void SenderThread::serveBatch(const MailJob& front) {
    SmtpSession session(&abort_);
    const SmtpOutcome opened =
        session.open(front.server, MailData::heloDomain(front.sender), front.options);
    const unsigned port = static_cast<unsigned>(portToUse(front.options));
    if (!opened.succeeded) {
        // An abort keeps every job for the next start.
        if (!abort_.raised()) keepOrDropWaiting(front, opened);
        return;
    }
    reporter_->connected(front.server, port, opened);
    drain(session);
    session.close();
    reporter_->attemptEnded();
}

// A failed connection drops every waiting job, unless the jobs ask for
// retries and the server did not refuse for good: those are kept, in order.
// Only an attempt that dropped mail raises an alert.
void SenderThread::keepOrDropWaiting(const MailJob& front, const SmtpOutcome& open) {
    const unsigned port = static_cast<unsigned>(portToUse(front.options));
    if (!keepsMailsAfterOpen(open)) {
        const std::size_t dropped = retry_.dropAll() + queue_->discardAll();
        reporter_->notConnected(front.server, port, open, dropped);
        return;
    }
    std::size_t dropped = 0;
    while (std::optional<MailJob> job = queue_->take()) {
        if (!retry_.keepWaiting(std::move(*job))) ++dropped;
    }
    if (!retry_.empty()) retry_.attemptFailed();
    reporter_->notConnected(front.server, port, open, dropped);
}

void SenderThread::dropWaiting(std::size_t gatheredMessages) {
    if (!queue_) return;
    const std::size_t waiting = retry_.dropAll() + queue_->discardAll();
    if (reporter_ && waiting > 0) reporter_->droppedAtUnload(waiting);
    if (reporter_ && gatheredMessages > 0) reporter_->gatheredDroppedAtUnload(gatheredMessages);
}

void SenderThread::drain(SmtpSession& session) {
    while (!abort_.raised()) {
        std::optional<MailJob> job = retry_.take();
        if (!job) job = queue_->take();
        if (!job) return;
        const SmtpOutcome outcome = session.sendMail(*job);
        // A mail refused for now ends the batch, so that none overtakes it.
        const bool kept = retry_.mailDone(*job, outcome);
        reporter_->mailDone(job->recipient, outcome, kept);
        if (kept) return;
        abort_.pause(kMailPauseMs);
    }
}
