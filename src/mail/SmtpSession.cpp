#include "mail/SmtpSession.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "mail/AbortSignal.h"
#include "mail/MailData.h"
#include "mail/MailDate.h"
#include "mail/SmtpReply.h"

namespace {

const WORD kWinsockVersion = 0x0101;
const std::size_t kMaxServerName = 255;
const int kReplyChunk = 256;

std::string currentMailDate() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    return formatMailDate({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});
}

// Why a connect failed, in the words a user knows.
std::string connectFailure(int error) {
    switch (error) {
        case WSAECONNREFUSED: return "connection refused";
        case WSAETIMEDOUT: return "timed out";
        case WSAENETUNREACH:
        case WSAEHOSTUNREACH: return "unreachable";
        default: return "error " + std::to_string(error);
    }
}

// The stages of the pieces of a mail that are answered, in the order sent.
const SmtpStage kMailStages[] = {SmtpStage::MailFrom, SmtpStage::RcptTo, SmtpStage::Data,
                                 SmtpStage::EndOfData};
const std::size_t kMailStageCount = sizeof kMailStages / sizeof kMailStages[0];

// A dotted address is taken as it is; anything else is looked up by name.
// An empty name is no server at all, not the local machine.
bool resolve(const std::string& name, in_addr& address) {
    if (name.empty()) return false;
    const unsigned long dotted = inet_addr(name.c_str());
    if (dotted != INADDR_NONE) {
        address.s_addr = dotted;
        return true;
    }
    const hostent* host = gethostbyname(name.c_str());
    if (!host || host->h_addrtype != AF_INET || !host->h_addr_list || !host->h_addr_list[0]) {
        return false;
    }
    std::memcpy(&address, host->h_addr_list[0], sizeof address);
    return true;
}

}  // namespace

SmtpSession::SmtpSession(AbortSignal* abort) : abort_(abort) {}

SmtpSession::~SmtpSession() { release(); }

SOCKET SmtpSession::open(const std::string& server, const std::string& heloDomain) {
    if (isOpen()) return INVALID_SOCKET;
    if (!connectTo(server.substr(0, kMaxServerName))) {
        release();
        return INVALID_SOCKET;
    }
    const SmtpOutcome greeting = replyOutcome(SmtpStage::Greeting);
    sendText(MailData::heloLine(heloDomain));
    const SmtpOutcome hello = replyOutcome(SmtpStage::Hello);
    openOutcome_ = greeting.ok ? hello : greeting;
    if (aborted()) {
        release();
        return INVALID_SOCKET;
    }
    return socket_;
}

bool SmtpSession::aborted() const { return abort_ && abort_->raised(); }

SmtpOutcome SmtpSession::replyOutcome(SmtpStage stage) { return outcomeOfReply(stage, readReply()); }

bool SmtpSession::connectTo(const std::string& server) {
    openOutcome_ = SmtpOutcome::failure(SmtpStage::Connect, 0, "no network");
    WSADATA data;
    if (WSAStartup(kWinsockVersion, &data) != 0) return false;
    winsockStarted_ = true;
    socket_ = socket(AF_INET, SOCK_STREAM, 0);
    if (socket_ == INVALID_SOCKET) return false;
    if (abort_) abort_->watch(socket_);

    sockaddr_in destination;
    std::memset(&destination, 0, sizeof destination);
    destination.sin_family = AF_INET;
    destination.sin_port = htons(SmtpSession::kPort);
    if (!resolve(server, destination.sin_addr)) {
        openOutcome_ = SmtpOutcome::failure(SmtpStage::NameLookup, 0, "name not found");
        return false;
    }
    if (connect(socket_, reinterpret_cast<const sockaddr*>(&destination), sizeof destination) != 0) {
        openOutcome_ = SmtpOutcome::failure(SmtpStage::Connect, 0, connectFailure(WSAGetLastError()));
        return false;
    }
    // A shutdown that came while connect was still setting up may not have
    // reached it, and the greeting would be waited for without end.
    return !aborted();
}

SmtpOutcome SmtpSession::sendMail(const MailJob& job) {
    if (!isOpen()) return SmtpOutcome::failure(SmtpStage::Connect, 0, "not connected");
    std::optional<SmtpOutcome> refusal;
    SmtpOutcome last;
    std::size_t answered = 0;
    for (const MailData::Piece& piece : MailData::mailPieces(job, currentMailDate())) {
        sendText(piece.bytes);
        if (!piece.readsReply) continue;
        const std::string reply = readReply();
        last = outcomeOfReply(kMailStages[std::min(answered++, kMailStageCount - 1)], reply);
        if (!last.ok && !refusal) refusal = last;
        if (piece.opensData && !SmtpReply::invitesData(reply)) {
            // The mail is lost as any refused mail is, but its text never
            // reaches the server as commands; the next mail starts afresh.
            sendText(MailData::resetLine());
            readReply();
            break;
        }
    }
    return refusal ? *refusal : last;
}

void SmtpSession::close() {
    if (!isOpen()) return;
    sendText(MailData::quitLine());
    readReply();
    release();
}

void SmtpSession::sendText(const std::string& text) {
    std::size_t sent = 0;
    while (sent < text.size()) {
        const int n = send(socket_, text.data() + sent, static_cast<int>(text.size() - sent), 0);
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
    }
}

std::string SmtpSession::readReply() {
    std::string head;
    std::string unfinished;
    char chunk[kReplyChunk];
    for (;;) {
        const int n = recv(socket_, chunk, kReplyChunk, 0);
        if (n <= 0) break;
        const std::size_t count = static_cast<std::size_t>(n);
        if (head.size() < kMaxKeptLine && head.find('\n') == std::string::npos) {
            head.append(chunk, std::min(count, kMaxKeptLine - head.size()));
        }
        unfinished.append(chunk, count);
        if (SmtpReply::complete(unfinished)) break;
        unfinished = SmtpReply::pending(unfinished);
    }
    return head;
}

void SmtpSession::release() {
    if (socket_ != INVALID_SOCKET) {
        if (abort_) abort_->unwatch();
        closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }
    if (winsockStarted_) {
        WSACleanup();
        winsockStarted_ = false;
    }
}
