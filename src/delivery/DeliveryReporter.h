#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "delivery/DeliveryLog.h"
#include "delivery/FailureSink.h"
#include "mail/SmtpOutcome.h"

// What the sender thread tells about its attempts: a log line for every
// connection and every mail, and one failure for every attempt that lost
// mail, however many mails it lost. Used by one thread at a time.
class DeliveryReporter {
public:
    // The log in the directory (none when it is empty); failures go to the
    // sink when there is one.
    DeliveryReporter(const std::string& logDirectory, FailureSink* sink);

    // Opens an attempt on the server.
    void connected(const std::string& server, unsigned port, const SmtpOutcome& outcome);
    // An attempt that ended before it began: every waiting mail dropped.
    void notConnected(const std::string& server, unsigned port, const SmtpOutcome& outcome,
                      std::size_t mailsDropped);
    // A mail kept to be tried again is not lost.
    void mailDone(const std::string& recipient, const SmtpOutcome& outcome, bool kept = false);
    // Kept mails dropped after retrying: logged, and raised as a failure.
    void retriesEnded(const std::string& server, unsigned port, std::size_t mailsDropped,
                      int32_t retriedMinutes);
    // Mails still waiting when the plug-in is unloaded.
    void droppedAtUnload(std::size_t mailsDropped);
    // Messages gathered for a later mail, dropped with the plug-in.
    void gatheredDroppedAtUnload(std::size_t messagesDropped);
    // Ends the attempt that connected() opened.
    void attemptEnded();

private:
    void fail(FailedAttempt attempt);

    DeliveryLog log_;
    FailureSink* sink_;
    // The attempt under way: its server, its first failure and the mails lost.
    FailedAttempt current_;
    std::optional<SmtpOutcome> firstFailure_;
};
