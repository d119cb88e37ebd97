#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// What a server answered to one request.
struct HttpResponse {
    enum class State {
        Incomplete,  // more bytes are needed
        Complete,    // the status, headers and body (or as much of it as is kept)
        Malformed,   // not an HTTP/1.x response
    };
    State state = State::Incomplete;
    int status = 0;
    std::string reason;
    // Retry-After in seconds (RFC 9110 10.2.3); an HTTP date is not read.
    std::optional<uint32_t> retryAfterSeconds;
    // The body after any chunked coding, at most kMaxBodyKept bytes of it.
    std::string body;
};

namespace HttpLimits {
// Only a service's short error answer is ever read from a body.
const std::size_t kMaxBodyKept = 16 * 1024;
// A status line and headers longer than this are no answer of a push service.
const std::size_t kMaxHead = 32 * 1024;
}  // namespace HttpLimits

// Reads the bytes received so far (RFC 9112): the status line, the
// headers, and a body framed by Transfer-Encoding: chunked, by
// Content-Length, or by the end of the connection (`closed`). Interim 1xx
// answers are skipped. A body longer than kept counts as complete once
// kMaxBodyKept bytes of it are there.
HttpResponse parseHttpResponse(const std::string& received, bool closed);
