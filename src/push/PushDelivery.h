#pragma once
#include "push/PushJob.h"
#include "push/PushOutcome.h"

class AbortSignal;

// Sends one notification: its URL read, the service's request made, and
// sent over a connection of its own. A refused URL is refused for good,
// without any connection, and says why.
PushOutcome deliverPush(const PushJob& job, AbortSignal* abort);
