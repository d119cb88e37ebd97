#include "delivery/TransportFactory.h"

#include "delivery/MailTransport.h"
#include "delivery/PushTransport.h"
#include "push/PushUrl.h"

namespace TransportFactory {

namespace {

// What a refused URL shows where a host would be: never any of its text,
// which may hold a token.
const char kRefusedUrlHost[] = "push URL";

// The service's host and port as the notification URL names them (for
// Telegram and Pushover, their API's host): never the URL's other parts.
Route pushRoute(const std::string& url) {
    const PushUrlParse parsed = parsePushUrl(url);
    if (!parsed.target) return Route{TransportKind::Push, kRefusedUrlHost, 0};
    return Route{TransportKind::Push, parsed.target->host, static_cast<unsigned>(parsed.target->port)};
}

}  // namespace

std::unique_ptr<Transport> make(const DeliveryJob& job, AbortSignal* abort) {
    switch (job.transport) {
        case TransportKind::Mail: return std::make_unique<MailTransport>(abort);
        case TransportKind::Push: return std::make_unique<PushTransport>(abort);
    }
    return nullptr;
}

Route routeOf(const DeliveryJob& job) {
    if (job.transport == TransportKind::Push) return pushRoute(job.push.url);
    return {TransportKind::Mail, job.mail.server, static_cast<unsigned>(portToUse(job.mail.options))};
}

bool sameBatch(const DeliveryJob& front, const DeliveryJob& job) {
    if (front.transport != job.transport) return false;
    if (job.transport == TransportKind::Mail) return true;
    const Route a = routeOf(front);
    const Route b = routeOf(job);
    return a.host == b.host && a.port == b.port;
}

std::string addresseeOf(const DeliveryJob& job) {
    if (job.transport == TransportKind::Mail) return job.mail.recipient;
    const PushUrlParse parsed = parsePushUrl(job.push.url);
    return parsed.target ? serviceName(parsed.target->service) : std::string();
}

}  // namespace TransportFactory
