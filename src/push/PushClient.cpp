#include "push/PushClient.h"

#include "net/AbortSignal.h"
#include "net/PlainConnection.h"
#include "net/TlsConnection.h"
#include "push/HttpResponse.h"

namespace {

// The services answer a notification within a second or two; half a minute
// allows for a loaded one and still ends the wait of a server that took the
// request and fell silent, as the test mail's limit does.
const uint32_t kAnswerLimitMs = 30 * 1000;

PushOutcome notAnswered(const std::string& description) {
    PushOutcome outcome;
    outcome.result = PushResult::RefusedForNow;
    outcome.description = description;
    return outcome;
}

std::string withReason(const std::string& text, const std::string& reason) {
    return reason.empty() ? text : text + " (" + reason + ")";
}

// Why the connection could not be opened, without anything of the URL but
// its host and port.
std::string openFailure(const PushTarget& target, const NetOutcome& outcome) {
    const std::string where = target.host + ":" + std::to_string(target.port);
    switch (outcome.stage) {
        case NetStage::NameLookup: return "could not find " + target.host;
        case NetStage::Connect: return withReason("could not connect to " + where, outcome.detail);
        case NetStage::Certificate:
            return withReason(target.host + " failed the certificate check", outcome.detail);
        case NetStage::TlsHandshake: break;
    }
    return withReason("could not start TLS with " + where, outcome.detail);
}

}  // namespace

PushClient::PushClient(AbortSignal* abort) : abort_(abort) {}

PushClient::~PushClient() { close(); }

std::optional<PushOutcome> PushClient::open(const PushTarget& target, const std::string& trustedCaFile) {
    close();
    plain_.reset(new PlainConnection(abort_));
    NetOutcome opened = plain_->connect(target.host, target.port);
    if (opened.succeeded && target.tls) {
        tls_.reset(new TlsConnection(*plain_));
        opened = tls_->secure(target.host, trustedCaFile);
    }
    if (opened.succeeded && abort_ && abort_->raised()) opened = NetOutcome::failure(opened.stage, "stopped");
    if (opened.succeeded) return std::nullopt;
    close();
    return notAnswered(openFailure(target, opened));
}

PushOutcome PushClient::exchange(const PushTarget& target, const HttpRequest& request) {
    if (!isOpen()) return notAnswered("the connection is not open");
    Connection& link = tls_ ? static_cast<Connection&>(*tls_) : *plain_;
    std::string received;
    HttpResponse response;
    link.limitWaits(kAnswerLimitMs);
    if (link.sendAll(requestBytes(request))) {
        bool closed = false;
        do {
            closed = !link.receive(received);
            response = parseHttpResponse(received, closed);
        } while (response.state == HttpResponse::State::Incomplete && !closed);
    }
    const bool timedOut = link.timedOut();
    close();
    if (abort_ && abort_->raised()) return notAnswered("stopped");
    if (response.state != HttpResponse::State::Complete) {
        if (timedOut) {
            return notAnswered(target.host + " gave no answer within " + std::to_string(kAnswerLimitMs / 1000) + " s");
        }
        return notAnswered(target.host + (received.empty() ? " gave no answer" : " gave no HTTP answer"));
    }
    return answeredOutcome(target, response.status, response.body, response.retryAfterSeconds);
}

void PushClient::close() {
    if (tls_) tls_->close();
    tls_.reset();
    if (plain_) plain_->close();
    plain_.reset();
}

PushOutcome PushClient::send(const PushTarget& target, const HttpRequest& request,
                             const std::string& trustedCaFile) {
    if (const std::optional<PushOutcome> failed = open(target, trustedCaFile)) return *failed;
    return exchange(target, request);
}
