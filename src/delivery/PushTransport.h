#pragma once
#include "delivery/Transport.h"
#include "push/PushOutcome.h"

class AbortSignal;

// Notifications out through the push client. Each request has a connection
// of its own, so opening a batch only reads its URL: a refused URL ends the
// batch for good before anything goes out.
class PushTransport : public Transport {
public:
    explicit PushTransport(AbortSignal* abort) : abort_(abort) {}

    DeliveryOutcome open(const DeliveryJob& front) override;
    DeliveryOutcome send(const DeliveryJob& job) override;
    void close() override {}

private:
    AbortSignal* abort_;
};

// The push client's outcome as the sender thread acts on it: 2xx done, 429,
// 5xx and no answer refused for now (with the service's Retry-After), the
// rest for good; the log shows the status and the service's words.
DeliveryOutcome pushDeliveryOutcome(const PushOutcome& outcome);
