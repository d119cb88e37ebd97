#include "forward/CooldownGatherer.h"

#include <algorithm>

#include "forward/ContactFilter.h"

namespace {

const int32_t kLongestCooldownMinutes = 1440;
const uint64_t kMillisecondsPerMinute = 60 * 1000;

bool cooledDown(uint64_t lastSentMs, uint64_t nowMs, uint64_t cooldownMs) {
    return nowMs - lastSentMs >= cooldownMs;
}

}  // namespace

uint64_t cooldownMilliseconds(int32_t cooldownMinutes) {
    if (cooldownMinutes < 0 || cooldownMinutes > kLongestCooldownMinutes) return 0;
    return static_cast<uint64_t>(cooldownMinutes) * kMillisecondsPerMinute;
}

bool CooldownGatherer::arrive(const std::string& name, const std::string& medium, int32_t connection,
                              const std::string& text, uint64_t nowMs, uint64_t cooldownMs) {
    // Contacts with nothing gathered whose cool-down is over are forgotten,
    // so that the list holds only those who wrote lately.
    contacts_.erase(std::remove_if(contacts_.begin(), contacts_.end(),
                                   [&](const Contact& contact) {
                                       return contact.gathered.texts.empty() &&
                                              cooledDown(contact.lastSentMs, nowMs, cooldownMs);
                                   }),
                    contacts_.end());
    if (cooldownMs == 0) return true;
    for (Contact& contact : contacts_) {
        if (contact.gathered.medium != medium || !sameScreenName(contact.gathered.name, name)) continue;
        if (contact.gathered.texts.empty()) contact.gathered.name = name;
        contact.gathered.connection = connection;
        contact.gathered.texts.push_back(text);
        return false;
    }
    contacts_.push_back(Contact{GatheredMessages{name, medium, connection, {}}, nowMs});
    return true;
}

std::vector<GatheredMessages> CooldownGatherer::takeDue(uint64_t nowMs, uint64_t cooldownMs) {
    std::vector<GatheredMessages> due;
    for (Contact& contact : contacts_) {
        if (contact.gathered.texts.empty() || !cooledDown(contact.lastSentMs, nowMs, cooldownMs)) continue;
        due.push_back(GatheredMessages{contact.gathered.name, contact.gathered.medium,
                                       contact.gathered.connection, std::move(contact.gathered.texts)});
        contact.gathered.texts.clear();
        contact.lastSentMs = nowMs;
    }
    return due;
}

std::vector<GatheredMessages> CooldownGatherer::takeAll() {
    std::vector<GatheredMessages> all;
    for (Contact& contact : contacts_) {
        if (!contact.gathered.texts.empty()) all.push_back(std::move(contact.gathered));
    }
    contacts_.clear();
    return all;
}

std::size_t CooldownGatherer::dropAll() {
    std::size_t dropped = 0;
    for (const Contact& contact : contacts_) dropped += contact.gathered.texts.size();
    contacts_.clear();
    return dropped;
}

std::optional<uint64_t> CooldownGatherer::nextDueMs(uint64_t cooldownMs) const {
    std::optional<uint64_t> next;
    for (const Contact& contact : contacts_) {
        if (contact.gathered.texts.empty()) continue;
        const uint64_t due = contact.lastSentMs + cooldownMs;
        if (!next || due < *next) next = due;
    }
    return next;
}
