#include "delivery/TransportFactory.h"

#include <cstdlib>

#include "delivery/MailTransport.h"

namespace TransportFactory {

namespace {

const unsigned kHttpsPort = 443;  // RFC 2818 2.3
const char kSchemeEnd[] = "://";

// The host and port of an https URL; the authority ends at the first of
// "/?#" (RFC 3986 3.2), and a port follows the host after a colon.
Route pushRoute(const std::string& url) {
    Route route{TransportKind::Push, std::string(), kHttpsPort};
    const std::size_t scheme = url.find(kSchemeEnd);
    const std::size_t start = scheme == std::string::npos ? 0 : scheme + sizeof kSchemeEnd - 1;
    const std::size_t end = url.find_first_of("/?#", start);
    const std::string authority = url.substr(start, end == std::string::npos ? std::string::npos : end - start);
    std::size_t colon = authority.rfind(':');
    // The colons of an IPv6 literal are inside its brackets.
    if (authority.find(']', colon == std::string::npos ? 0 : colon) != std::string::npos) {
        colon = std::string::npos;
    }
    route.host = authority.substr(0, colon);
    if (colon != std::string::npos) {
        const unsigned long port = std::strtoul(authority.c_str() + colon + 1, nullptr, 10);
        if (port > 0 && port <= 65535) route.port = static_cast<unsigned>(port);
    }
    return route;
}

}  // namespace

std::unique_ptr<Transport> make(const DeliveryJob& job, AbortSignal* abort) {
    switch (job.transport) {
        case TransportKind::Mail: return std::make_unique<MailTransport>(abort);
        case TransportKind::Push: break;
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
    return job.transport == TransportKind::Mail ? job.mail.recipient : std::string();
}

}  // namespace TransportFactory
