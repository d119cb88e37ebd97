#pragma once
#include "delivery/Transport.h"
#include "push/PushClient.h"
#include "push/PushOutcome.h"

// Notifications out through the push client. Opening a batch reads its
// front job's URL (a refused one ends the batch for good before anything
// goes out) and connects to the service; each request then has a
// connection of its own ("Connection: close"), the first the one opened.
class PushTransport : public Transport {
public:
    explicit PushTransport(AbortSignal* abort) : client_(abort) {}

    DeliveryOutcome open(const DeliveryJob& front) override;
    DeliveryOutcome send(const DeliveryJob& job) override;
    void close() override { client_.close(); }

private:
    PushClient client_;
};

// The push client's outcome as the sender thread acts on it: 2xx done, 429,
// 5xx and no answer refused for now (with the service's Retry-After), the
// rest for good; the log shows the status and the service's words.
DeliveryOutcome pushDeliveryOutcome(const PushOutcome& outcome);
