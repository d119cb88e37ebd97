#include "push/PushRequest.h"

#include <algorithm>

#include "Version.h"
#include "push/FormEncoding.h"
#include "push/JsonText.h"
#include "text/Base64.h"
#include "text/Utf8Text.h"

namespace {

const char kLineEnd[] = "\r\n";
const char kJson[] = "application/json";
const char kForm[] = "application/x-www-form-urlencoded";
const char kUserAgent[] = "tolvane/" TOLVANE_VERSION;
const int32_t kDefaultHttpsPort = 443;
const int32_t kDefaultHttpPort = 80;

// ntfy's documented message size limit (server "message-size-limit").
const uint32_t kNtfyMessageBytes = 4096;
// Pushover API "Limitations": 1024 characters of message, 250 of title.
const uint32_t kPushoverMessageChars = 1024;
const std::size_t kPushoverTitleChars = 250;
// Telegram Bot API sendMessage: 1-4096 characters of text after parsing.
const uint32_t kTelegramTextChars = 4096;
// What a title can add to the name: "IM: " and the widest part label of
// 32-bit counts, " (Part 4294967295/4294967295)".
const uint32_t kWidestTitleExtra = 4 + 29;
// A UTF-8 character is at most this long.
const uint32_t kMaxUtf8Bytes = 4;
// Gotify's default priority for a message that shows as a notification.
const char kGotifyPriority[] = "5";

bool continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::string hostHeader(const PushTarget& target) {
    const int32_t usual = target.tls ? kDefaultHttpsPort : kDefaultHttpPort;
    return target.port == usual ? target.host : target.host + ":" + std::to_string(target.port);
}

std::string firstCharacters(const std::string& text, std::size_t count) {
    return text.substr(0, Utf8Text::advance(text, 0, count));
}

// The longest UTF-8 sequence in the text.
uint32_t widestCharacter(const std::string& text) {
    uint32_t widest = 1;
    uint32_t current = 0;
    for (char c : text) {
        current = continuation(c) ? current + 1 : 1;
        widest = std::max(widest, std::min(current, kMaxUtf8Bytes));
    }
    return widest;
}

HttpRequest baseRequest(const PushTarget& target, const std::string& path, const char* contentType) {
    HttpRequest request;
    request.path = path;
    request.headers.push_back({"Host", hostHeader(target)});
    request.headers.push_back({"User-Agent", kUserAgent});
    request.headers.push_back({"Content-Type", contentType});
    return request;
}

HttpRequest ntfyRequest(const PushTarget& target, const std::string& title, const std::string& message) {
    HttpRequest request = baseRequest(target, "/", kJson);
    if (!target.token.empty()) {
        request.headers.push_back({"Authorization", "Bearer " + target.token});
    } else if (!target.user.empty()) {
        request.headers.push_back(
            {"Authorization", "Basic " + Base64::encode(target.user + ":" + target.password)});
    }
    request.body = "{\"topic\":" + JsonText::quoted(target.topic) + ",\"title\":" +
                   JsonText::quoted(title) + ",\"message\":" + JsonText::quoted(message) + "}";
    return request;
}

HttpRequest gotifyRequest(const PushTarget& target, const std::string& title, const std::string& message) {
    HttpRequest request = baseRequest(target, target.basePath + "/message", kJson);
    request.headers.push_back({"X-Gotify-Key", target.token});
    request.body = "{\"title\":" + JsonText::quoted(title) + ",\"message\":" + JsonText::quoted(message) +
                   ",\"priority\":" + kGotifyPriority + "}";
    return request;
}

HttpRequest pushoverRequest(const PushTarget& target, const std::string& title,
                            const std::string& message) {
    HttpRequest request = baseRequest(target, "/1/messages.json", kForm);
    request.body = formEncoded({{"token", target.token},
                                {"user", target.user},
                                {"title", firstCharacters(title, kPushoverTitleChars)},
                                {"message", message}});
    return request;
}

HttpRequest telegramRequest(const PushTarget& target, const std::string& title,
                            const std::string& message) {
    HttpRequest request = baseRequest(target, "/bot" + target.token + "/sendMessage", kJson);
    request.body = "{\"chat_id\":" + JsonText::quoted(target.topic) +
                   ",\"text\":" + JsonText::quoted(title + "\n" + message) + "}";
    return request;
}

}  // namespace

std::string requestBytes(const HttpRequest& request) {
    std::string bytes = request.method + " " + request.path + " HTTP/1.1" + kLineEnd;
    for (const auto& header : request.headers) bytes += header.first + ": " + header.second + kLineEnd;
    bytes += "Content-Length: " + std::to_string(request.body.size()) + kLineEnd;
    bytes += std::string("Connection: close") + kLineEnd + kLineEnd;
    return bytes + request.body;
}

HttpRequest pushRequest(const PushTarget& target, const std::string& title, const std::string& message) {
    switch (target.service) {
        case PushService::Gotify: return gotifyRequest(target, title, message);
        case PushService::Pushover: return pushoverRequest(target, title, message);
        case PushService::Telegram: return telegramRequest(target, title, message);
        case PushService::Ntfy: break;
    }
    return ntfyRequest(target, title, message);
}

uint32_t pushMessageLimit(PushService service, const std::string& name, const std::string& text) {
    switch (service) {
        case PushService::Pushover: return kPushoverMessageChars;
        case PushService::Telegram: {
            // The title and the line break before the message.
            const std::size_t title = kWidestTitleExtra + Utf8Text::length(name) + 1;
            return title < kTelegramTextChars ? static_cast<uint32_t>(kTelegramTextChars - title) : 1;
        }
        case PushService::Ntfy:
        case PushService::Gotify: break;
    }
    return kNtfyMessageBytes / std::max(widestCharacter(name), widestCharacter(text));
}
