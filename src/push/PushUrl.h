#pragma once
#include <cstdint>
#include <optional>
#include <string>

// The push services a notification URL can name.
enum class PushService { Ntfy, Gotify, Pushover, Telegram };

// The service's name for the user, such as "ntfy".
const char* serviceName(PushService service);

// Where and how one notification goes, as a notification URL describes it.
// Only the service and host may be shown to the user or logged: every other
// field can hold a secret (a token, a password, or a topic that anybody who
// knows it can read).
struct PushTarget {
    PushService service = PushService::Ntfy;
    bool tls = true;
    std::string host;
    int32_t port = 443;
    std::string basePath;  // Gotify: the path the server lives under, "" or "/PATH"
    std::string topic;     // ntfy: the topic; Telegram: the chat id
    std::string token;     // ntfy: the access token; Gotify, Pushover: the application's; Telegram: the bot's
    std::string user;      // ntfy: the user of a Basic login; Pushover: the user key
    std::string password;  // ntfy: the password of a Basic login
};

// A notification URL read: the target, or why it is refused. The reason
// names at most the scheme and host, never anything secret.
struct PushUrlParse {
    std::optional<PushTarget> target;
    std::string refusal;
};

// Reads the forms
//   ntfys://[TOKEN@ | USER:PASSWORD@]HOST[:PORT]/TOPIC, https://HOST[:PORT]/TOPIC,
//   ntfys://TOPIC (on ntfy.sh), ntfy://HOST[:PORT]/TOPIC (plain HTTP),
//   gotifys://HOST[:PORT][/PATH]/APPTOKEN, pover://USERKEY@APPTOKEN,
//   tgram://BOTTOKEN/CHATID.
// Plain HTTP is taken only for a server on the user's own network and never
// with credentials, which go only over TLS. Blanks around the URL are
// ignored; credentials, topics and paths may be percent-encoded.
PushUrlParse parsePushUrl(const std::string& url);

// "ntfy at ntfy.sh", for the dialog and the log.
std::string describeTarget(const PushTarget& target);
