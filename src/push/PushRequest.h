#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "push/PushUrl.h"

// One HTTP/1.1 request as it goes out.
struct HttpRequest {
    std::string method = "POST";
    std::string path;
    std::vector<std::pair<std::string, std::string>> headers;  // Host first; no length, no Connection
    std::string body;
};

// The request's bytes: the request line, the request's headers,
// Content-Length and "Connection: close" (one request per connection), an
// empty line and the body.
std::string requestBytes(const HttpRequest& request);

// The notification with this title and message, both UTF-8, as the
// target's service publishes one: ntfy as JSON to the server's root, Gotify
// as JSON to /message with X-Gotify-Key, Pushover as a form to
// /1/messages.json, Telegram as JSON to /botTOKEN/sendMessage with the
// title as the text's first line. A Pushover title is cut to its limit.
HttpRequest pushRequest(const PushTarget& target, const std::string& title, const std::string& message);

// How many characters of message one notification of the service can carry
// when it is sent for a contact of this name, with a text of these
// characters (both UTF-8): ntfy takes 4096 bytes of message (Gotify is held
// to the same), Pushover 1024 characters, Telegram 4096 characters of text,
// which holds the title too. At least 1.
uint32_t pushMessageLimit(PushService service, const std::string& name, const std::string& text);
