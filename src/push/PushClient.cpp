#include "push/PushClient.h"

#include <memory>

#include "net/AbortSignal.h"
#include "net/PlainConnection.h"
#include "net/TlsConnection.h"
#include "push/HttpResponse.h"

namespace {

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
std::string openFailure(const HttpRequest& request, const NetOutcome& outcome) {
    const std::string where = request.host + ":" + std::to_string(request.port);
    switch (outcome.stage) {
        case NetStage::NameLookup: return "could not find " + request.host;
        case NetStage::Connect: return withReason("could not connect to " + where, outcome.detail);
        case NetStage::Certificate:
            return withReason(request.host + " failed the certificate check", outcome.detail);
        case NetStage::TlsHandshake: break;
    }
    return withReason("could not start TLS with " + where, outcome.detail);
}

}  // namespace

PushOutcome PushClient::send(const PushTarget& target, const HttpRequest& request,
                             const std::string& trustedCaFile) {
    PlainConnection plain(abort_);
    NetOutcome opened = plain.connect(request.host, request.port);
    std::unique_ptr<TlsConnection> tls;
    if (opened.succeeded && request.tls) {
        tls.reset(new TlsConnection(plain));
        opened = tls->handshake(request.host);
        if (opened.succeeded) opened = tls->checkCertificate(request.host, trustedCaFile);
    }
    if (!opened.succeeded) return notAnswered(openFailure(request, opened));
    Connection& link = tls ? static_cast<Connection&>(*tls) : plain;

    std::string received;
    HttpResponse response;
    if (link.sendAll(requestBytes(request))) {
        bool closed = false;
        do {
            closed = !link.receive(received);
            response = parseHttpResponse(received, closed);
        } while (response.state == HttpResponse::State::Incomplete && !closed);
    }
    if (tls) tls->close();
    plain.close();
    if (abort_ && abort_->raised()) return notAnswered("stopped");
    if (response.state != HttpResponse::State::Complete) {
        return notAnswered(request.host + (received.empty() ? " gave no answer" : " gave no HTTP answer"));
    }
    return answeredOutcome(target, response.status, response.body, response.retryAfterSeconds);
}
