#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "delivery/DeliveryLog.h"
#include "delivery/DeliveryOutcome.h"
#include "delivery/FailureSink.h"
#include "delivery/TransportFactory.h"

// What the sender thread tells about its attempts: a log line for every
// connection and every job, and one failure for every attempt that lost
// jobs, however many it lost. Used by one thread at a time.
class DeliveryReporter {
public:
    // The log in the directory (none when it is empty); failures go to the
    // sink when there is one.
    DeliveryReporter(const std::string& logDirectory, FailureSink* sink);

    // Opens an attempt on the route.
    void connected(const Route& route, const DeliveryOutcome& outcome);
    // An attempt that ended before it began, and the jobs dropped with it.
    void notConnected(const Route& route, const DeliveryOutcome& outcome, std::size_t mailsDropped);
    // A job kept to be tried again is not lost.
    void mailDone(const std::string& addressee, const DeliveryOutcome& outcome, bool kept = false);
    // Kept jobs dropped after retrying: logged, and raised as a failure.
    void retriesEnded(const Route& route, std::size_t mailsDropped, int32_t retriedMinutes);
    // Jobs still waiting when the plug-in is unloaded.
    void droppedAtUnload(std::size_t mailsDropped);
    // Messages gathered for a later mail, dropped with the plug-in.
    void gatheredDroppedAtUnload(std::size_t messagesDropped);
    // Ends the attempt that connected() opened.
    void attemptEnded();

private:
    void fail(FailedAttempt attempt);

    DeliveryLog log_;
    FailureSink* sink_;
    // The attempt under way: its route, its first failure and the jobs lost.
    Route route_;
    std::size_t dropped_ = 0;
    std::optional<DeliveryOutcome> firstFailure_;
};
