#include "mail/SenderThread.h"

#include <new>
#include <optional>

#include "mail/MailData.h"
#include "mail/MailQueue.h"
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
            if (std::optional<MailJob> front = queue_->front()) serveBatch(*front);
        } catch (const std::bad_alloc&) {
            // Out of memory for a copy: the pass is skipped, the jobs stay.
        }
        abort_.pause(kPassPauseMs);
    }
}

void SenderThread::serveBatch(const MailJob& front) {
    SmtpSession session(&abort_);
    const SmtpOutcome opened =
        session.open(front.server, MailData::heloDomain(front.sender), front.options);
    const unsigned port = static_cast<unsigned>(portToUse(front.options));
    if (!opened.succeeded) {
        // A failed connection drops every waiting job; an abort keeps them
        // for the next start.
        if (abort_.raised()) return;
        const std::size_t dropped = queue_->discardAll();
        reporter_->notConnected(front.server, port, opened, dropped);
        return;
    }
    reporter_->connected(front.server, port, opened);
    drain(session);
    session.close();
    reporter_->attemptEnded();
}

void SenderThread::drain(SmtpSession& session) {
    while (!abort_.raised()) {
        std::optional<MailJob> job = queue_->take();
        if (!job) return;
        reporter_->mailDone(job->recipient, session.sendMail(*job));
        abort_.pause(kMailPauseMs);
    }
}
