#pragma once
#include <memory>
#include <string>

#include "delivery/DeliveryJob.h"
#include "delivery/Transport.h"

class AbortSignal;

// Where a job goes, as the delivery log and the alerts name it.
struct Route {
    TransportKind transport = TransportKind::Mail;
    std::string host;
    unsigned port = 0;
};

// The one place that knows every transport: which client takes a job out,
// where it goes, and which jobs share its connection.
namespace TransportFactory {

// The client for the job's transport, its waits ended by the abort signal;
// nothing when this build has no client for it.
std::unique_ptr<Transport> make(const DeliveryJob& job, AbortSignal* abort);
Route routeOf(const DeliveryJob& job);
// Whether the job goes out in the batch that the front job opened: every
// mail goes to the server of the batch's front mail; a push, to the same
// host only.
bool sameBatch(const DeliveryJob& front, const DeliveryJob& job);
// Whom a job is for, for the delivery log: a mail's recipient; for a push
// only the service's name ("ntfy"), as its URL may hold the service's secret.
std::string addresseeOf(const DeliveryJob& job);

}  // namespace TransportFactory
