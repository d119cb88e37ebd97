#include "mail/RandomMessageId.h"

#include <windows.h>
#include <ntsecapi.h>

#include <atomic>
#include <cstdint>

#include "mail/MessageId.h"

namespace {

// 100-nanosecond steps from 1601 to 1970.
const uint64_t kUnixEpochInFileTime = 116444736000000000ull;
const uint64_t kFileTimePerMillisecond = 10000;

std::atomic<uint32_t> messageCounter{0};

}  // namespace

std::string newMessageId(const std::string& domain) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    MessageIdRandom random;
    RtlGenRandom(random.words, sizeof random.words);
    return formatMessageId((ticks - kUnixEpochInFileTime) / kFileTimePerMillisecond, ++messageCounter, random,
                           domain);
}
