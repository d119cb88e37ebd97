#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "push/PushUrl.h"

// What became of one notification.
enum class PushResult {
    Sent,            // a 2xx answer
    RefusedForNow,   // 429, 5xx, or no answer at all: the service may take it later
    RefusedForGood,  // any other answer, or a URL that is refused
};

struct PushOutcome {
    PushResult result = PushResult::RefusedForGood;
    int status = 0;  // 0: no answer
    // How long the service asked to wait before the next try, in seconds.
    std::optional<uint32_t> retryAfterSeconds;
    // What happened in words, for example "api.telegram.org answered 400
    // (Bad Request: chat not found)"; never a token, topic or text.
    std::string description;
};

// 2xx sent; 429 and 5xx refused for now; every other status for good.
PushResult resultOfStatus(int status);

// The service's own reason from the body of an error answer: ntfy's
// "error", Gotify's "errorDescription" (or "error"), Pushover's first of
// "errors", Telegram's "description"; one line of printable text, short,
// with every secret of the target cut out. Empty when the body has none.
std::string serviceErrorText(const PushTarget& target, const std::string& body);

// The outcome of an answer with this status and body.
PushOutcome answeredOutcome(const PushTarget& target, int status, const std::string& body,
                            std::optional<uint32_t> retryAfterSeconds);
