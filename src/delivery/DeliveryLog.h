#pragma once
#include <cstdint>
#include <string>

// The delivery log "IMTolvane.log" beside the settings file. It is kept
// below 256 KiB: a line that would reach that size first moves the file to
// "IMTolvane.log.1", replacing an older one; when that one cannot be
// replaced, the log starts again empty instead. A line that cannot be written
// is lost without a word; nothing else depends on the log. The sender
// thread and the reply poller both write it, one line at a time under a
// kernel mutex: one whose owner was killed by a stop passes to the next
// writer instead of leaving it waiting.
class DeliveryLog {
public:
    static constexpr const char* kFileName = "IMTolvane.log";
    static constexpr const char* kOlderSuffix = ".1";
    static constexpr std::uint64_t kLimitBytes = 256 * 1024;

    // The log in the directory, which ends with a path separator. An empty
    // directory leaves the log off.
    explicit DeliveryLog(const std::string& directory);

    // Writes the line and a CR LF.
    void append(const std::string& line);

    const std::string& path() const { return path_; }

private:
    std::string path_;
};
