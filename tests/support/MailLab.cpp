#include "MailLab.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace {

const char kLabVariable[] = "TOLVANE_MAILLAB";
const WORD kWinsockVersion = MAKEWORD(2, 2);
const DWORD kPollMs = 50;
const int kReadChunk = 4096;
const char kHexDigits[] = "0123456789abcdef";
// A text in an answer is this mark and its bytes in hex.
const char kTextMark = 'x';

std::string hex(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        out += kHexDigits[c >> 4];
        out += kHexDigits[c & 0xF];
    }
    return out;
}

int hexDigit(char c) {
    const char* at = std::strchr(kHexDigits, c);
    if (c == '\0' || !at) throw std::runtime_error(std::string("mail lab: not a hex digit: ") + c);
    return static_cast<int>(at - kHexDigits);
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

// The words of one answer after its "ok", read in order.
class MailLab::Answer {
public:
    explicit Answer(const std::string& line) : words_(line) {}

    std::string word() {
        std::string word;
        if (!(words_ >> word)) throw std::runtime_error("mail lab: answer ends early");
        return word;
    }

    std::size_t count() { return std::stoul(word()); }

    std::string text() {
        const std::string word = this->word();
        if (word.empty() || word[0] != kTextMark || word.size() % 2 == 0) {
            throw std::runtime_error("mail lab: not a text: " + word);
        }
        std::string bytes;
        bytes.reserve(word.size() / 2);
        for (std::size_t i = 1; i < word.size(); i += 2) {
            bytes += static_cast<char>(hexDigit(word[i]) << 4 | hexDigit(word[i + 1]));
        }
        return bytes;
    }

    std::vector<std::string> texts() {
        std::vector<std::string> texts(count());
        for (std::string& text : texts) text = this->text();
        return texts;
    }

    ReceivedMail mail() {
        ReceivedMail mail;
        mail.helo = text();
        mail.from = text();
        mail.data = text();
        mail.recipients = texts();
        mail.receivedMs = std::stoull(word());
        return mail;
    }

    LabConnection connection() {
        LabConnection connection;
        connection.open = word() == "1";
        connection.helo = text();
        connection.transcript = text();
        connection.errors = texts();
        connection.mails.resize(count());
        for (ReceivedMail& mail : connection.mails) mail = this->mail();
        connection.cleartext = text();
        return connection;
    }

private:
    std::istringstream words_;
};

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

PeerScript& PeerScript::step(const std::string& word) {
    words_ += " " + word;
    return *this;
}

PeerScript& PeerScript::send(const std::string& text) { return step("send=" + hex(text)); }
PeerScript& PeerScript::expect(const std::string& prefix) { return step("expect=" + hex(prefix)); }
PeerScript& PeerScript::readData() { return step("readData"); }
PeerScript& PeerScript::quiet(int milliseconds) { return step("quiet=" + std::to_string(milliseconds)); }
PeerScript& PeerScript::close() { return step("close"); }
PeerScript& PeerScript::silent() { return step("silent"); }

PeerScript& PeerScript::greet() { return send("220 peer ready\r\n").expect("HELO ").send("250 peer\r\n"); }

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

MailLab::Answer MailLab::request(const std::string& line) {
    const std::string sent = line + "\n";
    for (std::size_t done = 0; done < sent.size();) {
        const int n = ::send(control_, sent.data() + done, static_cast<int>(sent.size() - done), 0);
        if (n <= 0) throw std::runtime_error("mail lab: send failed");
        done += static_cast<std::size_t>(n);
    }
    std::string received;
    char chunk[kReadChunk];
    while (received.empty() || received.back() != '\n') {
        const int n = recv(control_, chunk, kReadChunk, 0);
        if (n <= 0) throw std::runtime_error("mail lab: connection lost");
        received.append(chunk, static_cast<std::size_t>(n));
    }
    Answer answer(received);
    const std::string status = answer.word();
    if (status == "error") throw std::runtime_error("mail lab: " + answer.text());
    if (status != "ok") throw std::runtime_error("mail lab: unexpected answer " + received);
    return answer;
}

LabServer MailLab::startPeer(const std::string& line) {
    Answer answer = request(line);
    LabServer server;
    server.id = answer.word();
    server.host = answer.word();
    server.port = static_cast<int>(answer.count());
    return server;
}

LabServer MailLab::startSmtp(const std::vector<std::string>& refusedRecipients,
                             int deferredRecipients, int breakAfterMail) {
    std::string line = "smtp";
    if (deferredRecipients > 0) line += " defer=" + std::to_string(deferredRecipients);
    if (breakAfterMail > 0) line += " break=" + std::to_string(breakAfterMail);
    for (const std::string& recipient : refusedRecipients) line += " " + hex(recipient);
    return startPeer(line);
}

LabServer MailLab::startScript(const PeerScript& script) { return startPeer("script" + script.words()); }

LabServer MailLab::unreachable() { return startPeer("unreachable"); }

LabServer MailLab::blackhole() { return startPeer("blackhole"); }

void MailLab::listen(const LabServer& unreachable) { request("listen " + unreachable.id); }

LabServer MailLab::startTls(const TlsServerOptions& options) {
    static const char* const kModes[] = {"starttls", "implicit", "clear"};
    static const char* const kCertificates[] = {"good", "wrongname", "untrusted"};
    std::string line = std::string("tls ") + kModes[options.mode] + " cert=" + kCertificates[options.certificate];
    if (!options.user.empty()) line += " login=" + hex(options.user) + ":" + hex(options.password);
    line += " mechs=" + options.mechanisms;
    if (!options.eightBitMime) line += " no8bitmime";
    if (options.injectAfterStartTls) line += " inject";
    if (options.asksForClientCertificate) line += " askcert";
    return startPeer(line);
}

LabServer MailLab::startProxy(const LabServer& server, int chunk) {
    return startPeer("proxy " + server.id + " " + std::to_string(chunk));
}

ImapLabServer MailLab::startImap() {
    Answer answer = request("imap");
    ImapLabServer imap;
    imap.server.id = answer.word();
    imap.server.host = answer.word();
    imap.server.port = static_cast<int>(answer.count());
    imap.startTlsPort = static_cast<int>(answer.count());
    imap.user = answer.text();
    imap.password = answer.text();
    imap.passwordUtf8 = answer.text();
    return imap;
}

void MailLab::deliver(const ImapLabServer& server, const std::string& mail) {
    request("deliver " + server.server.id + " " + hex(mail));
}

std::vector<MaildirMail> MailLab::maildir(const ImapLabServer& server) {
    Answer answer = request("flags " + server.server.id);
    std::vector<MaildirMail> mails(answer.count());
    for (MaildirMail& mail : mails) {
        mail.messageId = answer.text();
        mail.flags = answer.word().substr(1);
    }
    return mails;
}

std::size_t MailLab::imapLogins(const ImapLabServer& server) {
    return request("logins " + server.server.id).count();
}

std::string MailLab::caFile(bool der) {
    Answer answer = request("ca");
    const std::string pem = answer.text();
    std::string path = der ? answer.text() : pem;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return "Z:" + path;
}

void MailLab::stop(const LabServer& server) { request("stop " + server.id); }

PushService MailLab::startPush(const std::string& kind, const PushServiceOptions& options) {
    static const char* const kAuth[] = {"none", "token", "basic"};
    static const char* const kCertificates[] = {"good", "untrusted", "plain", "down"};
    std::string line = "push " + kind + " auth=" + kAuth[options.auth] + " cert=" +
                       kCertificates[options.certificate];
    std::string answers;
    for (const auto& answer : options.answers) {
        answers += (answers.empty() ? "" : ",") + std::to_string(answer.first);
        if (answer.second >= 0) answers += ":" + std::to_string(answer.second);
    }
    if (!answers.empty()) line += " answers=" + answers;
    Answer answer = request(line);
    PushService service;
    service.id = answer.word();
    service.host = answer.word();
    service.port = static_cast<int>(answer.count());
    service.url = answer.text();
    return service;
}

void MailLab::listen(const PushService& service) { request("pushlisten " + service.id); }

std::vector<PushedRequest> MailLab::pushed(const PushService& service) {
    Answer answer = request("pushed " + service.id);
    std::vector<PushedRequest> requests(answer.count());
    for (PushedRequest& pushed : requests) {
        pushed.method = answer.text();
        pushed.path = answer.text();
        pushed.headers = answer.text();
        pushed.body = answer.text();
        pushed.status = static_cast<int>(answer.count());
        pushed.receivedMs = std::stoull(answer.word());
    }
    return requests;
}

bool MailLab::waitForPushed(const PushService& service, std::size_t count, DWORD timeoutMs) {
    return waitUntil([&] { return pushed(service).size() >= count; }, timeoutMs);
}

std::vector<LabConnection> MailLab::connections(const LabServer& server) {
    Answer answer = request("received " + server.id);
    std::vector<LabConnection> connections(answer.count());
    for (LabConnection& connection : connections) connection = answer.connection();
    return connections;
}

std::vector<ReceivedMail> MailLab::mails(const LabServer& server) {
    std::vector<ReceivedMail> all;
    for (LabConnection& connection : connections(server)) {
        for (ReceivedMail& mail : connection.mails) all.push_back(std::move(mail));
    }
    return all;
}

std::vector<DecodedMail> MailLab::decodedMails(const LabServer& server) {
    Answer answer = request("decoded " + server.id);
    std::vector<DecodedMail> mails(answer.count());
    for (DecodedMail& mail : mails) {
        mail.subject = answer.text();
        mail.body = answer.text();
        mail.messageId = answer.text();
        mail.charset = answer.text();
        mail.transferEncoding = answer.text();
    }
    return mails;
}

std::size_t MailLab::connectionCount(const LabServer& server) {
    return request("connections " + server.id).count();
}

bool MailLab::waitForMails(const LabServer& server, std::size_t count, DWORD timeoutMs) {
    return waitUntil([&] { return mails(server).size() >= count; }, timeoutMs);
}

bool MailLab::waitForConnections(const LabServer& server, std::size_t count, DWORD timeoutMs) {
    return waitUntil([&] { return connectionCount(server) >= count; }, timeoutMs);
}

LabConnection MailLab::finishedConnection(const LabServer& server) {
    const DWORD kWaitMs = 5000;
    std::vector<LabConnection> found;
    const bool ended = waitUntil(
        [&] {
            found = connections(server);
            return found.size() == 1 && !found[0].open;
        },
        kWaitMs);
    EXPECT_TRUE(ended) << "one connection that has ended";
    return found.empty() ? LabConnection() : found[0];
}
