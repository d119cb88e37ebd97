#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>

// The message a forwarded mail came from, where its answer goes back to.
struct ReplyTarget {
    std::string medium;
    int32_t connection = 0;
    std::string name;
};

// Which message each Message-ID sent while replies are on belongs to, for
// 24 hours, in memory only: after an unload nothing is known. Shared by the
// host's thread, which remembers, and the reply poller, which looks up.
// Times are milliseconds of any steady clock.
class ReplyBook {
public:
    static constexpr uint64_t kKeepMs = 24ull * 60 * 60 * 1000;
    // Far more than a day of forwarding makes; beyond it the oldest go
    // first, so that memory stays bounded whatever arrives.
    static constexpr std::size_t kMaxEntries = 20000;

    void remember(const std::string& messageId, const ReplyTarget& target, uint64_t nowMs);
    std::optional<ReplyTarget> find(const std::string& messageId, uint64_t nowMs);

private:
    void dropOld(uint64_t nowMs);

    struct Entry {
        ReplyTarget target;
        uint64_t since = 0;
    };
    std::mutex guard_;
    std::map<std::string, Entry> entries_;
    std::deque<std::string> order_;
};
