#pragma once
#include "forward/AwayRule.h"

// Asks Windows how long the user has been idle and whether the session is
// locked: a few calls, made on the host's thread when a message arrives.
PresenceSample probePresence();
