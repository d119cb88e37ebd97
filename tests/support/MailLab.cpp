#include "MailLab.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace {

const char kLabVariable[] = "TOLVANE_MAILLAB";
const WORD kWinsockVersion = MAKEWORD(2, 2);
const DWORD kPollMs = 50;
const int kReadChunk = 4096;

// Just enough JSON for the lab's answers.
struct Json {
    enum Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<Json> items;
    std::vector<std::pair<std::string, Json>> members;

    const Json& operator[](const std::string& key) const {
        static const Json missing;
        for (const auto& member : members) {
            if (member.first == key) return member.second;
        }
        return missing;
    }
};

class JsonReader {
public:
    explicit JsonReader(const std::string& text) : text_(text) {}

    Json document() {
        Json value = parseValue();
        skipBlanks();
        if (at_ != text_.size()) fail("trailing text");
        return value;
    }

private:
    [[noreturn]] void fail(const char* what) {
        throw std::runtime_error(std::string("mail lab answer: ") + what + " in " + text_);
    }

    void skipBlanks() {
        while (at_ < text_.size() && std::strchr(" \t\r\n", text_[at_])) ++at_;
    }

    char next() {
        if (at_ >= text_.size()) fail("unexpected end");
        return text_[at_++];
    }

    bool consume(const char* word) {
        const std::size_t n = std::strlen(word);
        if (text_.compare(at_, n, word) != 0) return false;
        at_ += n;
        return true;
    }

    Json parseValue() {
        skipBlanks();
        Json value;
        if (at_ >= text_.size()) fail("unexpected end");
        const char c = text_[at_];
        if (c == '{') {
            value.kind = Json::Object;
            parseObject(value);
        } else if (c == '[') {
            value.kind = Json::Array;
            parseArray(value);
        } else if (c == '"') {
            value.kind = Json::String;
            value.text = parseString();
        } else if (consume("true")) {
            value.kind = Json::Bool;
            value.boolean = true;
        } else if (consume("false")) {
            value.kind = Json::Bool;
        } else if (consume("null")) {
            value.kind = Json::Null;
        } else {
            value.kind = Json::Number;
            char* end = nullptr;
            value.number = std::strtod(text_.c_str() + at_, &end);
            if (end == text_.c_str() + at_) fail("unknown value");
            at_ = static_cast<std::size_t>(end - text_.c_str());
        }
        return value;
    }

    void parseObject(Json& value) {
        ++at_;
        skipBlanks();
        if (at_ < text_.size() && text_[at_] == '}') {
            ++at_;
            return;
        }
        for (;;) {
            skipBlanks();
            std::string key = parseString();
            skipBlanks();
            if (next() != ':') fail("expected ':'");
            value.members.emplace_back(std::move(key), parseValue());
            skipBlanks();
            const char c = next();
            if (c == '}') return;
            if (c != ',') fail("expected ',' or '}'");
        }
    }

    void parseArray(Json& value) {
        ++at_;
        skipBlanks();
        if (at_ < text_.size() && text_[at_] == ']') {
            ++at_;
            return;
        }
        for (;;) {
            value.items.push_back(parseValue());
            skipBlanks();
            const char c = next();
            if (c == ']') return;
            if (c != ',') fail("expected ',' or ']'");
        }
    }

    // The lab sends each byte as the character of the same number; a larger
    // character (only in texts of its own) becomes UTF-8.
    static void appendCharacter(std::string& out, unsigned code) {
        if (code < 0x100) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    std::string parseString() {
        if (next() != '"') fail("expected a string");
        std::string out;
        for (;;) {
            const char c = next();
            if (c == '"') return out;
            if (c != '\\') {
                out += c;
                continue;
            }
            const char escaped = next();
            switch (escaped) {
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'u': {
                    if (at_ + 4 > text_.size()) fail("short \\u escape");
                    appendCharacter(out, std::stoul(text_.substr(at_, 4), nullptr, 16));
                    at_ += 4;
                    break;
                }
                default: out += escaped; break;
            }
        }
    }

    const std::string& text_;
    std::size_t at_ = 0;
};

// A JSON string holding the bytes as characters of the same number.
std::string quote(const std::string& bytes) {
    std::string out = "\"";
    for (unsigned char c : bytes) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string idRequest(const char* op, const LabServer& server) {
    return std::string("{\"op\":\"") + op + "\",\"id\":" + quote(server.id) + "}";
}

ReceivedMail mailFrom(const Json& json) {
    ReceivedMail mail;
    mail.helo = json["helo"].text;
    mail.from = json["from"].text;
    for (const Json& recipient : json["recipients"].items) mail.recipients.push_back(recipient.text);
    mail.data = json["data"].text;
    return mail;
}

LabConnection connectionFrom(const Json& json) {
    LabConnection connection;
    connection.helo = json["helo"].text;
    for (const Json& mail : json["mails"].items) connection.mails.push_back(mailFrom(mail));
    connection.transcript = json["transcript"].text;
    for (const Json& error : json["errors"].items) connection.errors.push_back(error.text);
    connection.open = json["open"].boolean;
    return connection;
}

sockaddr_in labAddress() {
    const char* value = std::getenv(kLabVariable);
    if (!value || !*value) throw std::runtime_error("TOLVANE_MAILLAB is not set: run the tests with tests/run.sh");
    const std::string text = value;
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos) throw std::runtime_error("TOLVANE_MAILLAB is not HOST:PORT");
    sockaddr_in address;
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = inet_addr(text.substr(0, colon).c_str());
    address.sin_port = htons(static_cast<u_short>(std::atoi(text.c_str() + colon + 1)));
    return address;
}

}  // namespace

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(kPollMs);
    }
    return true;
}

PeerScript& PeerScript::step(const std::string& json) {
    steps_.push_back(json);
    return *this;
}

PeerScript& PeerScript::send(const std::string& text, int times) {
    return step("{\"send\":" + quote(text) + ",\"times\":" + std::to_string(times) + "}");
}

PeerScript& PeerScript::expect(const std::string& prefix) { return step("{\"expect\":" + quote(prefix) + "}"); }
PeerScript& PeerScript::readData() { return step("{\"readData\":true}"); }
PeerScript& PeerScript::quiet(int milliseconds) { return step("{\"quiet\":" + std::to_string(milliseconds) + "}"); }
PeerScript& PeerScript::sleep(int milliseconds) { return step("{\"sleep\":" + std::to_string(milliseconds) + "}"); }
PeerScript& PeerScript::close() { return step("{\"close\":true}"); }
PeerScript& PeerScript::silent() { return step("{\"silent\":true}"); }

PeerScript& PeerScript::greet() { return send("220 peer ready\r\n").expect("HELO ").send("250 peer\r\n"); }

PeerScript& PeerScript::acceptMail() {
    return expect("MAIL FROM: ")
        .send("250 ok\r\n")
        .expect("RCPT TO: ")
        .send("250 ok\r\n")
        .expect("DATA")
        .send("354 go ahead\r\n")
        .readData()
        .send("250 queued\r\n");
}

std::string PeerScript::json() const {
    std::string out = "[";
    for (std::size_t i = 0; i < steps_.size(); ++i) out += (i ? "," : "") + steps_[i];
    return out + "]";
}

MailLab::MailLab() {
    WSADATA data;
    if (WSAStartup(kWinsockVersion, &data) != 0) throw std::runtime_error("WSAStartup failed");
    winsockStarted_ = true;
    const sockaddr_in address = labAddress();
    control_ = socket(AF_INET, SOCK_STREAM, 0);
    if (control_ == INVALID_SOCKET ||
        connect(control_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        disconnect();
        throw std::runtime_error("cannot reach the mail lab at TOLVANE_MAILLAB");
    }
}

MailLab::~MailLab() { disconnect(); }

void MailLab::disconnect() {
    if (control_ != INVALID_SOCKET) closesocket(control_);
    control_ = INVALID_SOCKET;
    if (winsockStarted_) WSACleanup();
    winsockStarted_ = false;
}

std::string MailLab::request(const std::string& json) {
    const std::string line = json + "\n";
    for (std::size_t sent = 0; sent < line.size();) {
        const int n = ::send(control_, line.data() + sent, static_cast<int>(line.size() - sent), 0);
        if (n <= 0) throw std::runtime_error("mail lab: send failed");
        sent += static_cast<std::size_t>(n);
    }
    std::string answer;
    char chunk[kReadChunk];
    while (answer.empty() || answer.back() != '\n') {
        const int n = recv(control_, chunk, kReadChunk, 0);
        if (n <= 0) throw std::runtime_error("mail lab: connection lost");
        answer.append(chunk, static_cast<std::size_t>(n));
    }
    const Json parsed = JsonReader(answer).document();
    if (!parsed["ok"].boolean) throw std::runtime_error("mail lab: " + parsed["error"].text);
    return answer;
}

LabServer MailLab::startPeer(const std::string& json) {
    const Json answer = JsonReader(request(json)).document();
    LabServer server;
    server.id = answer["id"].text;
    server.host = answer["host"].text;
    server.port = static_cast<int>(answer["port"].number);
    return server;
}

LabServer MailLab::startSmtp(const std::vector<std::string>& refusedRecipients) {
    std::string refuse = "[";
    for (std::size_t i = 0; i < refusedRecipients.size(); ++i) {
        refuse += (i ? "," : "") + quote(refusedRecipients[i]);
    }
    return startPeer("{\"op\":\"smtp\",\"refuse\":" + refuse + "]}");
}

LabServer MailLab::startScript(const PeerScript& script) {
    return startPeer("{\"op\":\"script\",\"steps\":" + script.json() + "}");
}

LabServer MailLab::unreachable() { return startPeer("{\"op\":\"unreachable\"}"); }

void MailLab::stop(const LabServer& server) { request(idRequest("stop", server)); }

std::vector<LabConnection> MailLab::connections(const LabServer& server) {
    const Json answer = JsonReader(request(idRequest("received", server))).document();
    std::vector<LabConnection> connections;
    for (const Json& connection : answer["connections"].items) {
        connections.push_back(connectionFrom(connection));
    }
    return connections;
}

std::vector<ReceivedMail> MailLab::mails(const LabServer& server) {
    std::vector<ReceivedMail> all;
    for (LabConnection& connection : connections(server)) {
        for (ReceivedMail& mail : connection.mails) all.push_back(std::move(mail));
    }
    return all;
}

std::size_t MailLab::connectionCount(const LabServer& server) {
    const Json answer = JsonReader(request(idRequest("connections", server))).document();
    return static_cast<std::size_t>(answer["count"].number);
}

bool MailLab::waitForMails(const LabServer& server, std::size_t count, DWORD timeoutMs) {
    return waitUntil([&] { return mails(server).size() >= count; }, timeoutMs);
}

bool MailLab::waitForConnections(const LabServer& server, std::size_t count, DWORD timeoutMs) {
    return waitUntil([&] { return connectionCount(server) >= count; }, timeoutMs);
}
