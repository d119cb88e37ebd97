#pragma once
#include "delivery/DeliveryJob.h"
#include "delivery/DeliveryOutcome.h"

// A client that takes jobs of one transport out, one connection per batch.
// The sender thread opens it for the batch's front job, sends the batch's
// jobs one by one while the connection lasts, and closes it. Blocking; an
// abort signal given at its making ends its waits.
class Transport {
public:
    virtual ~Transport() = default;

    // Opens a connection for the batch whose front job this is; the
    // transport is open exactly when the outcome succeeded.
    virtual DeliveryOutcome open(const DeliveryJob& front) = 0;
    // Sends one job of the batch over the open connection.
    virtual DeliveryOutcome send(const DeliveryJob& job) = 0;
    // Ends the connection politely; safe when it is not open.
    virtual void close() = 0;
};
