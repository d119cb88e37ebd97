#include "delivery/DeliveryReporter.h"

#include <windows.h>

#include "delivery/DeliveryLogLine.h"

namespace {

MailTime utcNow() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

}  // namespace

DeliveryReporter::DeliveryReporter(const std::string& logDirectory, FailureSink* sink)
    : log_(logDirectory), sink_(sink) {}

void DeliveryReporter::connected(const std::string& server, unsigned port,
                                 const SmtpOutcome& outcome) {
    current_ = FailedAttempt{server, port, SmtpOutcome(), 0};
    firstFailure_.reset();
    log_.append(DeliveryLogLine::connected(utcNow(), server, port, outcome));
}

void DeliveryReporter::notConnected(const std::string& server, unsigned port,
                                    const SmtpOutcome& outcome, std::size_t mailsDropped) {
    log_.append(DeliveryLogLine::notConnected(utcNow(), server, port, outcome, mailsDropped));
    fail(FailedAttempt{server, port, outcome, mailsDropped});
}

void DeliveryReporter::mailDone(const std::string& recipient, const SmtpOutcome& outcome, bool kept) {
    log_.append(DeliveryLogLine::mail(utcNow(), current_.server, current_.port, recipient, outcome));
    if (outcome.succeeded || kept) return;
    if (!firstFailure_) firstFailure_ = outcome;
    ++current_.mailsDropped;
}

void DeliveryReporter::attemptEnded() {
    if (!firstFailure_) return;
    current_.outcome = *firstFailure_;
    firstFailure_.reset();
    fail(current_);
}

void DeliveryReporter::retriesEnded(const std::string& server, unsigned port, std::size_t mailsDropped,
                                    int32_t retriedMinutes) {
    log_.append(DeliveryLogLine::retriesEnded(utcNow(), server, port, mailsDropped, retriedMinutes));
    fail(FailedAttempt{server, port, SmtpOutcome(), mailsDropped, retriedMinutes});
}

void DeliveryReporter::droppedAtUnload(std::size_t mailsDropped) {
    log_.append(DeliveryLogLine::droppedAtUnload(utcNow(), mailsDropped));
}

void DeliveryReporter::gatheredDroppedAtUnload(std::size_t messagesDropped) {
    log_.append(DeliveryLogLine::gatheredDroppedAtUnload(utcNow(), messagesDropped));
}

// An attempt whose mails were all kept for a later one lost nothing.
void DeliveryReporter::fail(FailedAttempt attempt) {
    if (sink_ && attempt.mailsDropped > 0) sink_->attemptFailed(std::move(attempt));
}
