#include "delivery/DeliveryReporter.h"

#include "delivery/DeliveryLogLine.h"
#include "mail/UtcNow.h"

DeliveryReporter::DeliveryReporter(const std::string& logDirectory, FailureSink* sink)
    : log_(logDirectory), sink_(sink) {}

void DeliveryReporter::connected(const Route& route, const DeliveryOutcome& outcome) {
    route_ = route;
    toldFailure_.clear();
    dropped_ = 0;
    firstFailure_.reset();
    log_.append(DeliveryLogLine::connected(utcNow(), route.host, route.port, outcome));
}

void DeliveryReporter::notConnected(const Route& route, const DeliveryOutcome& outcome,
                                    std::size_t mailsDropped, std::size_t mailsKept) {
    log_.append(DeliveryLogLine::notConnected(utcNow(), route.host, route.port, outcome, mailsDropped));
    const bool tell = outcome.needsUser && mailsDropped == 0 && outcome.failure != toldFailure_;
    if (outcome.needsUser) toldFailure_ = outcome.failure;
    if (tell && sink_) {
        FailedAttempt attempt{route.transport, outcome.failure, 0};
        attempt.mailsKept = mailsKept;
        sink_->attemptFailed(std::move(attempt));
        return;
    }
    fail(FailedAttempt{route.transport, outcome.failure, mailsDropped});
}

void DeliveryReporter::mailDone(const std::string& addressee, const DeliveryOutcome& outcome, bool kept) {
    log_.append(DeliveryLogLine::mail(utcNow(), route_.host, route_.port, addressee, outcome));
    if (outcome.succeeded() || kept) return;
    if (!firstFailure_) firstFailure_ = outcome;
    ++dropped_;
}

void DeliveryReporter::attemptEnded() {
    if (!firstFailure_) return;
    const std::string failure = firstFailure_->failure;
    firstFailure_.reset();
    fail(FailedAttempt{route_.transport, failure, dropped_});
}

void DeliveryReporter::retriesEnded(const Route& route, std::size_t mailsDropped, int32_t retriedMinutes) {
    log_.append(DeliveryLogLine::retriesEnded(utcNow(), route.host, route.port, mailsDropped, retriedMinutes));
    fail(FailedAttempt{route.transport, std::string(), mailsDropped, retriedMinutes});
}

void DeliveryReporter::droppedAtUnload(std::size_t mailsDropped) {
    log_.append(DeliveryLogLine::droppedAtUnload(utcNow(), mailsDropped));
}

void DeliveryReporter::gatheredDroppedAtUnload(std::size_t messagesDropped) {
    log_.append(DeliveryLogLine::gatheredDroppedAtUnload(utcNow(), messagesDropped));
}

// An attempt whose jobs were all kept for a later one lost nothing.
void DeliveryReporter::fail(FailedAttempt attempt) {
    if (sink_ && attempt.mailsDropped > 0) sink_->attemptFailed(std::move(attempt));
}
