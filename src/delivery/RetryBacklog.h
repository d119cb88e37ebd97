#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "delivery/DeliveryJob.h"
#include "delivery/DeliveryOutcome.h"
#include "delivery/SteadyClock.h"


// How long the sender waits between attempts for kept mails, how long a
// minute of "Retry Minutes" lasts, and the clock that measures both. Tests
// shorten them so that a retry takes a fraction of a second.
struct RetryTiming {
    uint64_t firstPauseMs = 30 * 1000;
    uint64_t longestPauseMs = 5 * 60 * 1000;
    uint64_t minuteMs = 60 * 1000;
    uint64_t (*now)() = steadyMilliseconds;
};

// A connection that could not be opened keeps its jobs, unless the server
// refused it for good.
bool keepsMailsAfterOpen(const DeliveryOutcome& open);
// A job the server may take later.
bool refusedForNow(const DeliveryOutcome& job);

// Kept jobs dropped for their age: how many, and the first of them, which
// names the route and the "Retry Minutes".
struct ExpiredMails {
    std::size_t count = 0;
    DeliveryJob first;
    int32_t retryMinutes = 0;
};

// The mails a failed attempt kept, in their order, each with the time it was
// first kept, and when the next attempt is due: 30 s after the first failed
// attempt, the pause doubling after each further one up to 5 minutes. A mail
// is kept while it is younger than its job's "Retry Minutes", and a job with
// 0 is never kept. Held in memory only, by the sender thread alone.
class RetryBacklog {
public:
    explicit RetryBacklog(const RetryTiming& timing = RetryTiming()) : timing_(timing) {}

    void setTiming(const RetryTiming& timing) { timing_ = timing; }

    bool empty() const { return kept_.empty(); }
    std::size_t size() const { return kept_.size(); }
    // Nothing kept, or the pause after the last failed attempt is over.
    bool due() const;
    // The first kept mail, which names the server of the next attempt.
    std::optional<DeliveryJob> front() const;

    // Drops the kept mails that have grown older than their "Retry Minutes".
    ExpiredMails dropExpired();
    // Drops every kept mail; returns how many.
    std::size_t dropAll();

    // A mail that was waiting when its connection could not be opened: kept
    // behind the others when its job asks for retries. False when dropped.
    bool keepWaiting(DeliveryJob&& job);
    // Ends a failed attempt that kept mails: the next one is due after the
    // pause.
    void attemptFailed();

    // Hands out the first kept mail for sending; nothing when none is kept.
    // The mail counts as kept again only through mailDone.
    std::optional<DeliveryJob> take();
    // What became of the mail just sent, kept or new: a mail refused for now
    // goes back to the front (with the time it was first kept, when it was
    // kept before) if its job asks for retries, and true is returned: the
    // attempt ends there, so that no later mail overtakes it. The next
    // attempt waits at least as long as the outcome's Retry-After.
    bool mailDone(const DeliveryJob& job, const DeliveryOutcome& outcome);

private:
    struct KeptMail {
        DeliveryJob job;
        uint64_t keptSinceMs;
    };

    bool expired(const KeptMail& mail, uint64_t now) const;

    RetryTiming timing_;
    std::deque<KeptMail> kept_;
    // Failed attempts since the backlog was last empty; sets the pause.
    unsigned failedAttempts_ = 0;
    uint64_t nextAttemptMs_ = 0;
    // When the mail handed out by take() was first kept.
    std::optional<uint64_t> takenSinceMs_;
};
