#include "delivery/RetryBacklog.h"

#include <algorithm>

namespace {

// Beyond this many doublings every pause is the longest anyway.
const unsigned kMaxDoublings = 20;

}  // namespace

bool keepsMailsAfterOpen(const DeliveryOutcome& open) { return open.verdict == Verdict::RefusedForNow; }

bool refusedForNow(const DeliveryOutcome& job) { return job.verdict == Verdict::RefusedForNow; }

bool RetryBacklog::due() const { return kept_.empty() || timing_.now() >= nextAttemptMs_; }

std::optional<DeliveryJob> RetryBacklog::front() const {
    if (kept_.empty()) return std::nullopt;
    return kept_.front().job;
}

bool RetryBacklog::expired(const KeptMail& mail, uint64_t now) const {
    const uint64_t limitMs = static_cast<uint64_t>(std::max(mail.job.retryMinutes, 0)) * timing_.minuteMs;
    return now - mail.keptSinceMs > limitMs;
}

ExpiredMails RetryBacklog::dropExpired() {
    const uint64_t now = timing_.now();
    ExpiredMails dropped;
    const auto first = std::find_if(kept_.begin(), kept_.end(),
                                    [&](const KeptMail& mail) { return expired(mail, now); });
    if (first == kept_.end()) return dropped;
    dropped = {0, first->job, first->job.retryMinutes};
    const std::size_t before = kept_.size();
    kept_.erase(std::remove_if(first, kept_.end(), [&](const KeptMail& mail) { return expired(mail, now); }),
                kept_.end());
    dropped.count = before - kept_.size();
    return dropped;
}

std::size_t RetryBacklog::dropAll() {
    const std::size_t dropped = kept_.size();
    kept_.clear();
    return dropped;
}

bool RetryBacklog::keepWaiting(DeliveryJob&& job) {
    if (job.retryMinutes <= 0) return false;
    // A mail kept when none was starts a new run of pauses.
    if (kept_.empty()) failedAttempts_ = 0;
    kept_.push_back({std::move(job), timing_.now()});
    return true;
}

void RetryBacklog::attemptFailed() {
    const uint64_t pause = timing_.firstPauseMs << std::min(failedAttempts_, kMaxDoublings);
    nextAttemptMs_ = timing_.now() + std::min(pause, timing_.longestPauseMs);
    ++failedAttempts_;
}

std::optional<DeliveryJob> RetryBacklog::take() {
    takenSinceMs_.reset();
    if (kept_.empty()) return std::nullopt;
    KeptMail mail = std::move(kept_.front());
    kept_.pop_front();
    takenSinceMs_ = mail.keptSinceMs;
    return std::move(mail.job);
}

bool RetryBacklog::mailDone(const DeliveryJob& job, const DeliveryOutcome& outcome) {
    const std::optional<uint64_t> since = takenSinceMs_;
    takenSinceMs_.reset();
    if (!refusedForNow(outcome) || job.retryMinutes <= 0) return false;
    if (!since && kept_.empty()) failedAttempts_ = 0;
    kept_.push_front({job, since.value_or(timing_.now())});
    attemptFailed();
    // A server that names its own pause gets at least that.
    nextAttemptMs_ = std::max(nextAttemptMs_, timing_.now() + outcome.retryAfterMs);
    return true;
}
