#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "delivery/DeliveryJob.h"

// One attempt that lost jobs: a connection that could not be opened, or a
// session in which the server refused jobs.
struct FailedAttempt {
    TransportKind transport = TransportKind::Mail;
    // The first failure of the attempt in words, as its outcome gave them.
    std::string failure;
    std::size_t mailsDropped = 0;
    // Above 0: kept jobs dropped after retrying that many minutes.
    int32_t retriedMinutes = 0;
    // Kept to be tried again, when the failure is told although nothing was
    // dropped.
    std::size_t mailsKept = 0;
};

// Told of every failed attempt, on the sender thread; never calls the host.
class FailureSink {
public:
    virtual ~FailureSink() = default;
    virtual void attemptFailed(FailedAttempt attempt) = 0;
};
