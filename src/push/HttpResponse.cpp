#include "push/HttpResponse.h"

#include <algorithm>

#include "text/PlainText.h"

namespace {

// Optional whitespace around a header value (RFC 9110 5.6.3).
const char kBlanks[] = " \t";

const uint32_t kMaxRetryAfterSeconds = 24 * 60 * 60;

// The line that starts at `at`, without its CR LF (or bare LF), and where
// the next one starts; none while it has not ended.
std::optional<std::string> lineAt(const std::string& text, std::size_t& at) {
    const std::size_t end = text.find('\n', at);
    if (end == std::string::npos) return std::nullopt;
    std::string line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    at = end + 1;
    return line;
}

std::optional<uint64_t> decimal(const std::string& text) {
    if (text.empty() || text.size() > 18) return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        if (!PlainText::isDigit(c)) return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    return value;
}

std::optional<uint64_t> hexadecimal(const std::string& text) {
    if (text.empty() || text.size() > 15) return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        const int digit = PlainText::hexDigit(c);
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<uint64_t>(digit);
    }
    return value;
}

struct Head {
    HttpResponse response;
    bool chunked = false;
    std::optional<uint64_t> length;
};

// "HTTP/1.x SSS reason"
bool readStatusLine(const std::string& line, HttpResponse& response) {
    if (line.size() < 12 || line.compare(0, 7, "HTTP/1.") != 0 || line[8] != ' ') return false;
    int status = 0;
    for (std::size_t i = 9; i < 12; ++i) {
        if (!PlainText::isDigit(line[i])) return false;
        status = status * 10 + (line[i] - '0');
    }
    if (line.size() > 12 && line[12] != ' ') return false;
    response.status = status;
    response.reason = line.size() > 13 ? line.substr(13) : std::string();
    return status >= 100;
}

// The head starting at `at`; `at` moves past it. Incomplete or Malformed in
// the response's state when it is not whole.
Head readHead(const std::string& text, std::size_t& at) {
    Head head;
    std::optional<std::string> line = lineAt(text, at);
    if (!line) return head;
    if (!readStatusLine(*line, head.response)) {
        head.response.state = HttpResponse::State::Malformed;
        return head;
    }
    while ((line = lineAt(text, at))) {
        if (line->empty()) {
            head.response.state = HttpResponse::State::Complete;
            return head;
        }
        const std::size_t colon = line->find(':');
        if (colon == std::string::npos || colon == 0) {
            head.response.state = HttpResponse::State::Malformed;
            return head;
        }
        const std::string name = PlainText::lowerCase(line->substr(0, colon));
        const std::string value = PlainText::trimmed(line->substr(colon + 1), kBlanks);
        if (name == "transfer-encoding") {
            head.chunked = PlainText::lowerCase(value).find("chunked") != std::string::npos;
        } else if (name == "content-length") {
            head.length = decimal(value);
            if (!head.length) {
                head.response.state = HttpResponse::State::Malformed;
                return head;
            }
        } else if (name == "retry-after") {
            if (const std::optional<uint64_t> seconds = decimal(value)) {
                head.response.retryAfterSeconds =
                    static_cast<uint32_t>(std::min<uint64_t>(*seconds, kMaxRetryAfterSeconds));
            }
        }
    }
    return head;
}

void keep(std::string& body, const std::string& text, std::size_t at, std::size_t count) {
    const std::size_t room = HttpLimits::kMaxBodyKept - body.size();
    body.append(text, at, std::min(count, room));
}

// The chunked body from `at` (RFC 9112 7.1); trailers are read past.
HttpResponse::State readChunked(const std::string& text, std::size_t at, std::string& body) {
    for (;;) {
        if (body.size() >= HttpLimits::kMaxBodyKept) return HttpResponse::State::Complete;
        const std::optional<std::string> sizeLine = lineAt(text, at);
        if (!sizeLine) return HttpResponse::State::Incomplete;
        const std::optional<uint64_t> size =
            hexadecimal(PlainText::trimmed(sizeLine->substr(0, sizeLine->find(';')), kBlanks));
        if (!size) return HttpResponse::State::Malformed;
        if (*size == 0) {
            while (const std::optional<std::string> trailer = lineAt(text, at)) {
                if (trailer->empty()) return HttpResponse::State::Complete;
            }
            return HttpResponse::State::Incomplete;
        }
        if (text.size() - at < *size) {
            keep(body, text, at, text.size() - at);
            return body.size() >= HttpLimits::kMaxBodyKept ? HttpResponse::State::Complete
                                                           : HttpResponse::State::Incomplete;
        }
        keep(body, text, at, static_cast<std::size_t>(*size));
        at += static_cast<std::size_t>(*size);
        const std::optional<std::string> end = lineAt(text, at);
        if (!end) return HttpResponse::State::Incomplete;
        if (!end->empty()) return HttpResponse::State::Malformed;
    }
}

}  // namespace

HttpResponse parseHttpResponse(const std::string& received, bool closed) {
    std::size_t at = 0;
    Head head = readHead(received, at);
    while (head.response.state == HttpResponse::State::Complete && head.response.status < 200) {
        head = readHead(received, at);
    }
    HttpResponse& response = head.response;
    if (response.state != HttpResponse::State::Complete) {
        if (response.state == HttpResponse::State::Incomplete &&
            (closed || received.size() > HttpLimits::kMaxHead)) {
            response.state = HttpResponse::State::Malformed;
        }
        return response;
    }
    // RFC 9110 6.4.1: these never have a body.
    if (response.status == 204 || response.status == 304) return response;
    if (head.chunked) {
        response.state = readChunked(received, at, response.body);
        if (response.state == HttpResponse::State::Incomplete && closed) {
            response.state = HttpResponse::State::Malformed;
        }
        return response;
    }
    const std::size_t available = received.size() - at;
    if (head.length) {
        keep(response.body, received, at, std::min<std::size_t>(available, *head.length));
        const bool whole = available >= *head.length || response.body.size() >= HttpLimits::kMaxBodyKept;
        response.state = whole ? HttpResponse::State::Complete
                         : closed ? HttpResponse::State::Malformed
                                  : HttpResponse::State::Incomplete;
        return response;
    }
    keep(response.body, received, at, available);
    const bool whole = closed || response.body.size() >= HttpLimits::kMaxBodyKept;
    response.state = whole ? HttpResponse::State::Complete : HttpResponse::State::Incomplete;
    return response;
}
