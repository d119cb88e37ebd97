#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <string>

// How fast answers from the phone go out as IMs: at most one per contact
// every 10 seconds and 20 a minute in all, so that a mail app that sends a
// burst cannot flood a contact or the IM service. An answer not admitted
// waits for a later pass. Times are milliseconds of any steady clock.
class ReplyPacer {
public:
    static constexpr uint64_t kPerContactMs = 10 * 1000;
    static constexpr uint64_t kWindowMs = 60 * 1000;
    static constexpr std::size_t kPerWindow = 20;

    // True, and counted, when an answer to the contact may go out now.
    bool admit(const std::string& contact, uint64_t nowMs);

private:
    std::map<std::string, uint64_t> lastByContact_;
    std::deque<uint64_t> recent_;
};
