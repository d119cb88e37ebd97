#pragma once
#include <cstdint>

#include "settings/Settings.h"

// "Away Minutes": whether a message that passed every other filter goes out
// now, judged by how long the user has left keyboard and mouse alone and by
// whether the session is locked. The machine is asked through a probe, so
// that the rule itself needs no clock.

// What the machine says about the user when a message arrives.
struct PresenceSample {
    uint32_t idleMilliseconds = 0;  // since the last keyboard or mouse input
    bool desktopLocked = false;
};

using PresenceProbe = PresenceSample (*)();

// The threshold in force: negative values and values above kMaxAwayMinutes
// act as 0, which means forward always (the settings file reads them so; a
// value can still reach the record from elsewhere).
int32_t awayThresholdMinutes(int32_t awayMinutes);

// Milliseconds from the last input to now on the 32-bit tick counter, across
// its wrap-around. A last input stamped after now (the counters of input and
// clock can differ by a tick) counts as input just now, not as 49 days ago.
uint32_t idleMillisecondsSince(uint32_t lastInputTick, uint32_t nowTick);

// True when the threshold is 0, the desktop is locked, or the user has been
// idle for at least the threshold.
bool userCountsAsAway(int32_t awayMinutes, const PresenceSample& presence);

// As userCountsAsAway, asking the probe only when a threshold is in force, so
// that with "Away Minutes" 0 forwarding costs no system call more than before.
bool forwardsNow(int32_t awayMinutes, PresenceProbe probe);
