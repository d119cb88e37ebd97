#include "push/PushUrl.h"

#include <cstddef>
#include <cstdlib>

#include "text/PlainText.h"

namespace {

const char kSchemeEnd[] = "://";
const char kBlanks[] = " \t\r\n";
const char kNtfyHost[] = "ntfy.sh";
const char kPushoverHost[] = "api.pushover.net";
const char kTelegramHost[] = "api.telegram.org";
const int32_t kHttpsPort = 443;
const int32_t kHttpPort = 80;
const int32_t kMaxPort = 65535;
// ntfy's documented topic names: letters, digits, "-" and "_", at most 64.
const std::size_t kMaxTopic = 64;
// RFC 1035 2.3.4: a domain name is at most 255 octets.
const std::size_t kMaxHost = 255;
const std::size_t kMaxSchemeShown = 16;

// Names that only resolve inside the user's own network.
const char* const kLocalSuffixes[] = {".local", ".lan", ".home.arpa", ".internal"};

bool isAlnum(char c) {
    return PlainText::isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// %XX sequences decoded; none when one is broken.
std::optional<std::string> percentDecoded(const std::string& text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = PlainText::hexDigit(text[i + 1]);
        const int low = PlainText::hexDigit(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return decoded;
}

bool allOf(const std::string& text, bool (*allowed)(char)) {
    if (text.empty()) return false;
    for (char c : text) {
        if (!allowed(c)) return false;
    }
    return true;
}

bool hostChar(char c) { return isAlnum(c) || c == '.' || c == '-'; }
bool topicChar(char c) { return isAlnum(c) || c == '-' || c == '_'; }
bool keyChar(char c) { return isAlnum(c); }
bool tokenChar(char c) { return isAlnum(c) || c == '-' || c == '_' || c == '.'; }
bool botTokenChar(char c) { return isAlnum(c) || c == '-' || c == '_' || c == ':'; }
bool chatChar(char c) { return isAlnum(c) || c == '-' || c == '_' || c == '@'; }

// A dotted IPv4 address in 10/8, 172.16/12, 192.168/16, 127/8 or 169.254/16.
bool privateAddress(const std::string& host) {
    unsigned parts[4];
    std::size_t at = 0;
    for (int i = 0; i < 4; ++i) {
        std::size_t digits = 0;
        unsigned value = 0;
        while (at < host.size() && PlainText::isDigit(host[at]) && digits < 3) {
            value = value * 10 + static_cast<unsigned>(host[at++] - '0');
            ++digits;
        }
        if (digits == 0 || value > 255) return false;
        parts[i] = value;
        if (i < 3 && (at >= host.size() || host[at++] != '.')) return false;
    }
    if (at != host.size()) return false;
    return parts[0] == 10 || parts[0] == 127 || (parts[0] == 172 && parts[1] >= 16 && parts[1] < 32) ||
           (parts[0] == 192 && parts[1] == 168) || (parts[0] == 169 && parts[1] == 254);
}

// A host plain HTTP may go to: one on the user's own network, where nobody
// on the way can read along.
bool ownNetwork(const std::string& host) {
    const std::string name = PlainText::lowerCase(host);
    if (privateAddress(name) || name == "localhost") return true;
    if (name.find('.') == std::string::npos) return !PlainText::isDigit(name[0]);
    for (const char* suffix : kLocalSuffixes) {
        if (endsWith(name, suffix)) return true;
    }
    return false;
}

PushUrlParse refused(const std::string& why) { return PushUrlParse{std::nullopt, why}; }

struct Authority {
    std::string userInfo;  // percent-encoded still
    bool hasUserInfo = false;
    std::string host;
    int32_t port = 0;  // 0: none given
};

// "[USERINFO@]HOST[:PORT]"; none when the host or port is not one.
std::optional<Authority> parseAuthority(const std::string& text) {
    Authority authority;
    std::string hostPort = text;
    const std::size_t at = text.rfind('@');
    if (at != std::string::npos) {
        authority.hasUserInfo = true;
        authority.userInfo = text.substr(0, at);
        hostPort = text.substr(at + 1);
    }
    const std::size_t colon = hostPort.find(':');
    authority.host = hostPort.substr(0, colon);
    if (!allOf(authority.host, hostChar) || authority.host.size() > kMaxHost) return std::nullopt;
    if (colon != std::string::npos) {
        const std::string digits = hostPort.substr(colon + 1);
        if (!allOf(digits, [](char c) { return PlainText::isDigit(c); }) || digits.size() > 5) {
            return std::nullopt;
        }
        authority.port = std::atoi(digits.c_str());
        if (authority.port < 1 || authority.port > kMaxPort) return std::nullopt;
    }
    return authority;
}

// Splits "AUTHORITY/REST" at the first slash.
void splitAtSlash(const std::string& text, std::string& head, std::string& rest) {
    const std::size_t slash = text.find('/');
    head = text.substr(0, slash);
    rest = slash == std::string::npos ? std::string() : text.substr(slash + 1);
}

// Puts "TOKEN" or "USER:PASSWORD" into the target.
bool takeNtfyCredentials(const std::string& userInfo, PushTarget& target) {
    const std::size_t colon = userInfo.find(':');
    const std::optional<std::string> first = percentDecoded(userInfo.substr(0, colon));
    if (!first || first->empty()) return false;
    if (colon == std::string::npos) {
        target.token = *first;
        return true;
    }
    const std::optional<std::string> password = percentDecoded(userInfo.substr(colon + 1));
    if (!password) return false;
    target.user = *first;
    target.password = *password;
    return true;
}

PushUrlParse parseNtfy(const std::string& rest, bool tls, const std::string& scheme) {
    const std::string form = scheme + "://[TOKEN@]HOST[:PORT]/TOPIC";
    std::string head, path;
    splitAtSlash(rest, head, path);
    while (!path.empty() && path.back() == '/') path.pop_back();
    PushTarget target;
    target.service = PushService::Ntfy;
    target.tls = tls;
    std::optional<Authority> authority;
    if (rest.find('/') == std::string::npos) {
        // "ntfys://[TOKEN@]TOPIC": that topic on the public server.
        authority = Authority();
        const std::size_t at = head.rfind('@');
        authority->hasUserInfo = at != std::string::npos;
        if (authority->hasUserInfo) authority->userInfo = head.substr(0, at);
        path = authority->hasUserInfo ? head.substr(at + 1) : head;
        target.host = kNtfyHost;
    } else {
        authority = parseAuthority(head);
        if (!authority) return refused("the ntfy URL names no valid server: " + form);
        target.host = authority->host;
    }
    target.port = authority->port != 0 ? authority->port : (tls ? kHttpsPort : kHttpPort);
    const std::optional<std::string> topic = percentDecoded(path);
    if (!topic || !allOf(*topic, topicChar) || topic->size() > kMaxTopic) {
        return refused("the ntfy URL names no valid topic (letters, digits, - and _): " + form);
    }
    target.topic = *topic;
    if (authority->hasUserInfo && !takeNtfyCredentials(authority->userInfo, target)) {
        return refused("the ntfy URL has an empty or broken login: " + form);
    }
    if (!tls) {
        if (authority->hasUserInfo) {
            return refused("a token or password goes only over TLS: use ntfys:// for " + target.host);
        }
        if (!ownNetwork(target.host)) {
            return refused("plain HTTP only to a server on your own network: use ntfys:// for " +
                           target.host);
        }
    }
    return PushUrlParse{target, {}};
}

PushUrlParse parseGotify(const std::string& rest, bool tls) {
    const char form[] = "gotifys://HOST[:PORT][/PATH]/APPTOKEN";
    std::string head, path;
    splitAtSlash(rest, head, path);
    while (!path.empty() && path.back() == '/') path.pop_back();
    const std::optional<Authority> authority = parseAuthority(head);
    if (!authority || authority->hasUserInfo) {
        return refused(std::string("the Gotify URL names no valid server: ") + form);
    }
    if (!tls) {
        // Gotify takes nothing without its application token.
        return refused("a Gotify token goes only over TLS: use gotifys:// for " + authority->host);
    }
    PushTarget target;
    target.service = PushService::Gotify;
    target.host = authority->host;
    target.port = authority->port != 0 ? authority->port : kHttpsPort;
    const std::size_t last = path.rfind('/');
    const std::optional<std::string> token =
        percentDecoded(last == std::string::npos ? path : path.substr(last + 1));
    if (!token || !allOf(*token, tokenChar)) {
        return refused(std::string("the Gotify URL names no application token: ") + form);
    }
    target.token = *token;
    if (last != std::string::npos) {
        target.basePath = "/" + path.substr(0, last);
        for (char c : target.basePath) {
            if (!(tokenChar(c) || c == '/' || c == '~')) {
                return refused(std::string("the Gotify URL has a path that is not plain: ") + form);
            }
        }
    }
    return PushUrlParse{target, {}};
}

PushUrlParse parsePushover(const std::string& rest) {
    const char form[] = "pover://USERKEY@APPTOKEN";
    const std::size_t at = rest.find('@');
    std::string user = rest.substr(0, at);
    std::string token = at == std::string::npos ? std::string() : rest.substr(at + 1);
    while (!token.empty() && token.back() == '/') token.pop_back();
    if (!allOf(user, keyChar) || !allOf(token, keyChar)) {
        return refused(std::string("the Pushover URL needs a user key and an application token: ") +
                       form);
    }
    PushTarget target;
    target.service = PushService::Pushover;
    target.host = kPushoverHost;
    target.user = user;
    target.token = token;
    return PushUrlParse{target, {}};
}

PushUrlParse parseTelegram(const std::string& rest) {
    const char form[] = "tgram://BOTTOKEN/CHATID";
    std::string token, chat;
    splitAtSlash(rest, token, chat);
    while (!chat.empty() && chat.back() == '/') chat.pop_back();
    // The token as the bot father issues it: the bot's number, ":", a secret.
    const std::size_t colon = token.find(':');
    const bool tokenValid = allOf(token, botTokenChar) && colon != std::string::npos && colon > 0 &&
                            colon + 1 < token.size() && token.find(':', colon + 1) == std::string::npos &&
                            allOf(token.substr(0, colon), [](char c) { return PlainText::isDigit(c); });
    if (!tokenValid || !allOf(chat, chatChar)) {
        return refused(std::string("the Telegram URL needs the bot token and a chat id: ") + form);
    }
    PushTarget target;
    target.service = PushService::Telegram;
    target.host = kTelegramHost;
    target.token = token;
    target.topic = chat;
    return PushUrlParse{target, {}};
}

}  // namespace

const char* serviceName(PushService service) {
    switch (service) {
        case PushService::Ntfy: return "ntfy";
        case PushService::Gotify: return "Gotify";
        case PushService::Pushover: return "Pushover";
        case PushService::Telegram: return "Telegram";
    }
    return "push";
}

PushUrlParse parsePushUrl(const std::string& url) {
    const std::size_t first = url.find_first_not_of(kBlanks);
    if (first == std::string::npos) return refused("no push URL is set");
    const std::string text = url.substr(first, url.find_last_not_of(kBlanks) - first + 1);
    const std::size_t schemeEnd = text.find(kSchemeEnd);
    if (schemeEnd == std::string::npos) {
        return refused("not a notification URL: it starts ntfys://, gotifys://, pover:// or tgram://");
    }
    const std::string scheme = PlainText::lowerCase(text.substr(0, schemeEnd));
    const std::string rest = text.substr(schemeEnd + sizeof kSchemeEnd - 1);
    if (rest.find_first_of(" \t\r\n?#") != std::string::npos) {
        return refused("the notification URL holds blanks, \"?\" or \"#\"");
    }
    if (scheme == "ntfys" || scheme == "https") return parseNtfy(rest, true, scheme);
    if (scheme == "ntfy") return parseNtfy(rest, false, scheme);
    if (scheme == "gotifys") return parseGotify(rest, true);
    if (scheme == "gotify") return parseGotify(rest, false);
    if (scheme == "pover") return parsePushover(rest);
    if (scheme == "tgram") return parseTelegram(rest);
    if (scheme == "http") {
        return refused("plain HTTP: use ntfys:// or https://, or ntfy:// on your own network");
    }
    if (!allOf(scheme, keyChar) || scheme.size() > kMaxSchemeShown) return refused("not a notification URL");
    return refused("unknown kind of notification URL: " + scheme + "://");
}

std::string describeTarget(const PushTarget& target) {
    return std::string(serviceName(target.service)) + " at " + target.host;
}
