#pragma once
#include <memory>
#include <optional>
#include <string>

#include "push/PushOutcome.h"
#include "push/PushRequest.h"
#include "push/PushUrl.h"

class AbortSignal;
class PlainConnection;
class TlsConnection;

// One HTTP/1.1 POST per connection over our own connection layer, not
// WinHTTP: a notification must pass the same certificate check as mail
// ("Trusted CA File" included), and the sender thread's stop must be able
// to shut its socket down, neither of which WinHTTP's own TLS and threads
// allow.
class PushClient {
public:
    // With an abort signal, a stop shuts the connection down while it is
    // being made or used.
    explicit PushClient(AbortSignal* abort = nullptr);
    ~PushClient();
    PushClient(const PushClient&) = delete;
    PushClient& operator=(const PushClient&) = delete;

    // Connects to the target's server, with TLS and the certificate checked
    // unless the target is plain HTTP. What went wrong when it could not
    // (refused for now, as the server may be back later); nothing once open.
    std::optional<PushOutcome> open(const PushTarget& target, const std::string& trustedCaFile);
    bool isOpen() const { return plain_ != nullptr; }
    // Sends the request over the open connection, reads the answer, and
    // closes the connection ("Connection: close"). A connection that ends
    // without an answer is refused for now.
    PushOutcome exchange(const PushTarget& target, const HttpRequest& request);
    void close();

    // Both at once, on a connection of its own.
    PushOutcome send(const PushTarget& target, const HttpRequest& request, const std::string& trustedCaFile);

private:
    AbortSignal* abort_;
    std::unique_ptr<PlainConnection> plain_;
    std::unique_ptr<TlsConnection> tls_;
};
