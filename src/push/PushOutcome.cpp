#include "push/PushOutcome.h"

#include "push/JsonText.h"

namespace {

const int kTooManyRequests = 429;
const std::size_t kMaxErrorText = 160;
const char kCut[] = "...";
// Shorter values are too likely to be plain words of the reason.
const std::size_t kShortestSecretCut = 4;

// Every occurrence of the secret replaced.
void cutOut(std::string& text, const std::string& secret) {
    if (secret.size() < kShortestSecretCut) return;
    for (std::size_t at = text.find(secret); at != std::string::npos; at = text.find(secret, at)) {
        text.replace(at, secret.size(), kCut);
        at += sizeof kCut - 1;
    }
}

const char* errorMember(PushService service) {
    switch (service) {
        case PushService::Gotify: return "errorDescription";
        case PushService::Pushover: return "errors";
        case PushService::Telegram: return "description";
        case PushService::Ntfy: break;
    }
    return "error";
}

}  // namespace

PushResult resultOfStatus(int status) {
    if (status >= 200 && status < 300) return PushResult::Sent;
    if (status == kTooManyRequests || (status >= 500 && status < 600)) return PushResult::RefusedForNow;
    return PushResult::RefusedForGood;
}

std::string serviceErrorText(const PushTarget& target, const std::string& body) {
    std::optional<std::string> text = JsonText::memberText(body, errorMember(target.service));
    if (!text && target.service == PushService::Gotify) text = JsonText::memberText(body, "error");
    if (!text) return std::string();
    for (const std::string* secret : {&target.token, &target.password, &target.topic, &target.user}) {
        cutOut(*text, *secret);
    }
    std::string line;
    for (char c : *text) {
        if (line.size() >= kMaxErrorText) {
            line += kCut;
            break;
        }
        line += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
    }
    return line;
}

PushOutcome answeredOutcome(const PushTarget& target, int status, const std::string& body,
                            std::optional<uint32_t> retryAfterSeconds) {
    PushOutcome outcome;
    outcome.result = resultOfStatus(status);
    outcome.status = status;
    outcome.retryAfterSeconds = retryAfterSeconds;
    outcome.description = target.host + " answered " + std::to_string(status);
    if (outcome.result != PushResult::Sent) {
        const std::string reason = serviceErrorText(target, body);
        if (!reason.empty()) outcome.description += " (" + reason + ")";
    }
    return outcome;
}
