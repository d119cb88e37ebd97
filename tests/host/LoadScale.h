#pragma once
// How much the load tests do: a size that fits a normal test run, and a
// larger one for the soak run (make soak), which builds the same tests
// with TOLVANE_SOAK.
#include <cstddef>

#ifdef TOLVANE_SOAK
const size_t kBurstMessages = 100;
const size_t kLifeCycles = 40;
const size_t kMailsPerProcess = 20;
#else
const size_t kBurstMessages = 30;
const size_t kLifeCycles = 3;
const size_t kMailsPerProcess = 3;
#endif

// The sender pauses a second after every mail; this leaves room for the
// connection, the test's own polling and a slow machine.
const unsigned long kMailTimeMs = 1000;
const unsigned long kDeliverySlackMs = 15000;
inline unsigned long deliveryTimeMs(size_t mails) { return mails * kMailTimeMs + kDeliverySlackMs; }
