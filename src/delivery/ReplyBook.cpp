#include "delivery/ReplyBook.h"


void ReplyBook::remember(const std::string& messageId, const ReplyTarget& target, uint64_t nowMs) {
    const std::lock_guard<std::mutex> lock(guard_);
    dropOld(nowMs);
    if (entries_.count(messageId) == 0) order_.push_back(messageId);
    entries_[messageId] = Entry{target, nowMs};
    while (order_.size() > kMaxEntries) {
        entries_.erase(order_.front());
        order_.pop_front();
    }
}

std::optional<ReplyTarget> ReplyBook::find(const std::string& messageId, uint64_t nowMs) {
    const std::lock_guard<std::mutex> lock(guard_);
    dropOld(nowMs);
    const auto it = entries_.find(messageId);
    if (it == entries_.end()) return std::nullopt;
    return it->second.target;
}

void ReplyBook::dropOld(uint64_t nowMs) {
    while (!order_.empty()) {
        const auto it = entries_.find(order_.front());
        if (it != entries_.end() && nowMs - it->second.since < kKeepMs) return;
        if (it != entries_.end()) entries_.erase(it);
        order_.pop_front();
    }
}
