#pragma once
#include <string>

#include "push/PushOutcome.h"
#include "push/PushRequest.h"
#include "push/PushUrl.h"

class AbortSignal;

// One HTTP/1.1 POST per connection over our own connection layer, not
// WinHTTP: a notification must pass the same certificate check as mail
// ("Trusted CA File" included), and the sender thread's stop must be able
// to shut its socket down, neither of which WinHTTP's own TLS and threads
// allow.
class PushClient {
public:
    // With an abort signal, a stop shuts the connection down while it is
    // being made or used.
    explicit PushClient(AbortSignal* abort = nullptr) : abort_(abort) {}

    // Connects to the request's server (TLS with the certificate checked
    // when the request asks for it), sends the request, reads the answer.
    // No connection, a failed check, or a connection that ends without an
    // answer is refused for now.
    PushOutcome send(const PushTarget& target, const HttpRequest& request,
                     const std::string& trustedCaFile);

private:
    AbortSignal* abort_;
};
