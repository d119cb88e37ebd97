#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "mail/SmtpOutcome.h"

// One attempt that lost mail: a connection that could not be opened, or a
// session in which the server refused mails. The outcome is the first
// failure of the attempt.
struct FailedAttempt {
    std::string server;
    unsigned port = 0;
    SmtpOutcome outcome;
    std::size_t mailsDropped = 0;
    // Above 0: kept mails dropped after retrying that many minutes.
    int32_t retriedMinutes = 0;
};

// Told of every failed attempt, on the sender thread; never calls the host.
class FailureSink {
public:
    virtual ~FailureSink() = default;
    virtual void attemptFailed(FailedAttempt attempt) = 0;
};
