#include "delivery/ReplyPacer.h"

#include <iterator>

bool ReplyPacer::admit(const std::string& contact, uint64_t nowMs) {
    while (!recent_.empty() && nowMs - recent_.front() >= kWindowMs) recent_.pop_front();
    for (auto it = lastByContact_.begin(); it != lastByContact_.end();) {
        it = nowMs - it->second >= kPerContactMs ? lastByContact_.erase(it) : std::next(it);
    }
    if (recent_.size() >= kPerWindow || lastByContact_.count(contact) > 0) return false;
    recent_.push_back(nowMs);
    lastByContact_[contact] = nowMs;
    return true;
}
