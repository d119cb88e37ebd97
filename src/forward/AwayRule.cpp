#include "forward/AwayRule.h"

namespace {

const uint32_t kMillisecondsPerMinute = 60 * 1000;
// Differences of at least half the counter's range are read as a last input
// that lies ahead of the clock.
const uint32_t kHalfTickRange = 0x80000000u;

}  // namespace

int32_t awayThresholdMinutes(int32_t awayMinutes) {
    if (awayMinutes < 0 || awayMinutes > kMaxAwayMinutes) return 0;
    return awayMinutes;
}

uint32_t idleMillisecondsSince(uint32_t lastInputTick, uint32_t nowTick) {
    const uint32_t elapsed = nowTick - lastInputTick;
    return elapsed >= kHalfTickRange ? 0 : elapsed;
}

bool userCountsAsAway(int32_t awayMinutes, const PresenceSample& presence) {
    const uint32_t threshold = static_cast<uint32_t>(awayThresholdMinutes(awayMinutes));
    if (threshold == 0 || presence.desktopLocked) return true;
    return presence.idleMilliseconds >= threshold * kMillisecondsPerMinute;
}

bool forwardsNow(int32_t awayMinutes, PresenceProbe probe) {
    if (awayThresholdMinutes(awayMinutes) == 0) return true;
    return userCountsAsAway(awayMinutes, probe());
}
