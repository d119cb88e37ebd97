#include "imap/ImapSession.h"

#include <windows.h>

#include <algorithm>

#include "text/AnsiText.h"
#include "net/AbortSignal.h"
#include "net/PlainConnection.h"
#include "net/TlsConnection.h"
#include "text/Base64.h"

namespace {

// A server name longer than a domain name can be is cut to that length.
const std::size_t kMaxServerName = 255;
const char kLineEnd[] = "\r\n";
const char kTagPrefix[] = "T";
// The header fields a reply is recognised by; nothing else is read of a
// mail until it is known to be one.
const char kHeaderFetch[] = "(UID BODY.PEEK[HEADER.FIELDS (FROM IN-REPLY-TO REFERENCES)])";
// A partial fetch (RFC 3501 6.4.5): the server sends no more than the
// client keeps.
const std::string kMailFetch =
    "(UID BODY.PEEK[]<0." + std::to_string(ImapReader::kMaxResponseBytes - 1024) + ">)";
// Mails asked for in one command; the rest wait for the next pass.
const std::size_t kMaxUidsPerFetch = 50;

ImapStage fromNetStage(NetStage stage) {
    switch (stage) {
        case NetStage::Certificate: return ImapStage::Certificate;
        case NetStage::TlsHandshake: return ImapStage::StartTls;
        default: return ImapStage::Connect;
    }
}

ImapOutcome fromNet(const NetOutcome& outcome) {
    return outcome.succeeded ? ImapOutcome::success(fromNetStage(outcome.stage))
                             : ImapOutcome::failure(fromNetStage(outcome.stage), outcome.detail);
}

}  // namespace

ImapSession::ImapSession(AbortSignal* abort, unsigned responseTimeoutMs)
    : abort_(abort), responseTimeoutMs_(responseTimeoutMs) {}

ImapSession::~ImapSession() { release(); }

ImapOutcome ImapSession::open(const ImapOptions& options) {
    if (plain_) return ImapOutcome::failure(ImapStage::Connect, "the session is already open");
    const std::string name = options.server.substr(0, kMaxServerName);
    plain_.reset(new PlainConnection(abort_));
    ImapOutcome outcome = fromNet(plain_->connect(name, imapPortToUse(options)));
    if (outcome.succeeded) {
        link_ = plain_.get();
        outcome = protect(name, options);
    }
    if (outcome.succeeded) outcome = logIn(options);
    if (outcome.succeeded && aborted()) outcome = ImapOutcome::failure(outcome.stage, "stopped");
    if (!outcome.succeeded) {
        release();
        return outcome;
    }
    open_ = true;
    return outcome;
}

ImapOutcome ImapSession::protect(const std::string& name, const ImapOptions& options) {
    const bool implicit = options.security == ImapOptions::Security::Tls;
    if (implicit) {
        tls_.reset(new TlsConnection(*plain_));
        const ImapOutcome outcome = fromNet(tls_->secure(name, options.trustedCaFile));
        if (!outcome.succeeded) return outcome;
        link_ = tls_.get();
    }
    ImapResponse greeting;
    if (read(greeting, responseTimeoutMs_) != Read::Response) {
        return ImapOutcome::failure(ImapStage::Greeting, "no greeting");
    }
    if (ImapSyntax::statusWord(greeting) != "OK") {
        return ImapOutcome::failure(ImapStage::Greeting, ImapSyntax::statusText(greeting));
    }
    if (implicit) return ImapOutcome::success(ImapStage::StartTls);
    ImapOutcome outcome = askCapabilities(ImapStage::StartTls);
    if (!outcome.succeeded) return outcome;
    if (!ImapSyntax::has(capabilities_, "STARTTLS")) {
        return ImapOutcome::failure(ImapStage::StartTls, "the server offers no STARTTLS");
    }
    outcome = command(ImapStage::StartTls, "STARTTLS");
    if (!outcome.succeeded) return outcome;
    // Whatever the server sent after its OK, in the clear, is forgotten,
    // and so is what it said it could do.
    reader_ = ImapReader();
    capabilities_.clear();
    tls_.reset(new TlsConnection(*plain_));
    outcome = fromNet(tls_->secure(name, options.trustedCaFile));
    if (outcome.succeeded) link_ = tls_.get();
    return outcome;
}

ImapOutcome ImapSession::askCapabilities(ImapStage stage) {
    std::vector<ImapResponse> untagged;
    const ImapOutcome outcome = command(stage, "CAPABILITY", &untagged);
    for (const ImapResponse& response : untagged) {
        std::vector<std::string> list = ImapSyntax::capabilities(response);
        if (!list.empty()) capabilities_ = list;
    }
    return outcome;
}

ImapOutcome ImapSession::logIn(const ImapOptions& options) {
    ImapOutcome outcome = askCapabilities(ImapStage::Login);
    if (!outcome.succeeded) return outcome;
    if (!ImapSyntax::has(capabilities_, "IMAP4REV1")) {
        return ImapOutcome::failure(ImapStage::Login, "the server does not speak IMAP4rev1");
    }
    const std::string user = AnsiText::toUtf8(options.user);
    const std::string password = AnsiText::toUtf8(options.password);
    if (ImapSyntax::has(capabilities_, "AUTH=PLAIN")) {
        outcome = logInPlain(user, password);
    } else if (!ImapSyntax::has(capabilities_, "LOGINDISABLED")) {
        outcome = logInLogin(user, password);
    } else {
        return ImapOutcome::failure(ImapStage::Login, "the server offers neither AUTHENTICATE PLAIN nor LOGIN");
    }
    // The capabilities may change with the login (RFC 3501 6.2.3).
    if (outcome.succeeded) outcome = askCapabilities(ImapStage::Login);
    return outcome;
}

// RFC 4616: authorization identity empty, then the user and the password.
ImapOutcome ImapSession::logInPlain(const std::string& user, const std::string& password) {
    ImapOutcome outcome = begin(ImapStage::Login, "AUTHENTICATE PLAIN");
    if (outcome.succeeded) {
        std::string message(1, '\0');
        message += user;
        message += '\0';
        message += password;
        if (!send(Base64::encode(message) + kLineEnd)) {
            return ImapOutcome::failure(ImapStage::Login, "the connection ended");
        }
        outcome = finish(ImapStage::Login, nullptr);
    }
    if (!outcome.succeeded && outcome.detail != "stopped") outcome.loginRefused = true;
    return outcome;
}

// LOGIN with each argument quoted, or as a literal where it cannot be: the
// line up to a literal's size goes first, and its bytes only after the
// server's "+".
ImapOutcome ImapSession::logInLogin(const std::string& user, const std::string& password) {
    if (!link_) return ImapOutcome::failure(ImapStage::Login, "the session is not open");
    tag_ = nextTag();
    std::string line = tag_ + " LOGIN";
    ImapOutcome outcome = ImapOutcome::success(ImapStage::Login);
    for (const std::string* argument : {&user, &password}) {
        const std::string quoted = ImapSyntax::quoted(*argument);
        if (!quoted.empty()) {
            line += " " + quoted;
            continue;
        }
        line += " {" + std::to_string(argument->size()) + "}";
        if (!send(line + kLineEnd)) return ImapOutcome::failure(ImapStage::Login, "the connection ended");
        outcome = continuation(ImapStage::Login);
        if (!outcome.succeeded) break;
        line = *argument;
    }
    if (outcome.succeeded) {
        outcome = send(line + kLineEnd) ? finish(ImapStage::Login, nullptr)
                                        : ImapOutcome::failure(ImapStage::Login, "the connection ended");
    }
    if (!outcome.succeeded && outcome.detail != "stopped") outcome.loginRefused = true;
    return outcome;
}

ImapOutcome ImapSession::selectInbox(uint32_t& mails) {
    std::vector<ImapResponse> untagged;
    const ImapOutcome outcome = command(ImapStage::Select, "SELECT INBOX", &untagged);
    mails = 0;
    for (const ImapResponse& response : untagged) ImapSyntax::existsCount(response, mails);
    return outcome;
}

ImapOutcome ImapSession::searchUnseenFrom(const std::string& address, std::vector<uint32_t>& uids) {
    uids.clear();
    const std::string argument = ImapSyntax::quoted(address);
    if (argument.empty()) return ImapOutcome::failure(ImapStage::Search, "the address is not plain text");
    std::vector<ImapResponse> untagged;
    const ImapOutcome outcome = command(ImapStage::Search, "UID SEARCH UNSEEN FROM " + argument, &untagged);
    for (const ImapResponse& response : untagged) {
        std::vector<uint32_t> found;
        if (ImapSyntax::searchResult(response, found)) uids.insert(uids.end(), found.begin(), found.end());
    }
    return outcome;
}

ImapOutcome ImapSession::fetchHeaders(const std::vector<uint32_t>& uids,
                                      std::vector<ImapSyntax::Fetched>& mails) {
    mails.clear();
    if (uids.empty()) return ImapOutcome::success(ImapStage::Fetch);
    const std::vector<uint32_t> some(uids.begin(), uids.begin() + std::min(uids.size(), kMaxUidsPerFetch));
    std::vector<ImapResponse> untagged;
    const ImapOutcome outcome =
        command(ImapStage::Fetch, "UID FETCH " + ImapSyntax::uidSet(some) + " " + kHeaderFetch, &untagged);
    for (const ImapResponse& response : untagged) {
        ImapSyntax::Fetched mail;
        if (ImapSyntax::fetched(response, mail) && mail.hasBody) mails.push_back(mail);
    }
    return outcome;
}

ImapOutcome ImapSession::fetchMail(uint32_t uid, ImapSyntax::Fetched& mail) {
    std::vector<ImapResponse> untagged;
    ImapOutcome outcome = command(ImapStage::Fetch, "UID FETCH " + std::to_string(uid) + " " + kMailFetch, &untagged);
    mail = ImapSyntax::Fetched();
    for (const ImapResponse& response : untagged) {
        ImapSyntax::Fetched candidate;
        if (ImapSyntax::fetched(response, candidate) && candidate.uid == uid && candidate.hasBody) mail = candidate;
    }
    if (outcome.succeeded && !mail.hasBody) outcome = ImapOutcome::failure(ImapStage::Fetch, "the mail is gone");
    return outcome;
}

ImapOutcome ImapSession::addFlags(uint32_t uid, const std::string& flags) {
    return command(ImapStage::Store, "UID STORE " + std::to_string(uid) + " +FLAGS.SILENT (" + flags + ")");
}

ImapOutcome ImapSession::idle(unsigned milliseconds, bool& newMail) {
    newMail = false;
    ImapOutcome outcome = begin(ImapStage::Idle, "IDLE");
    if (!outcome.succeeded) return outcome;
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD waited = GetTickCount() - start;
        if (waited >= milliseconds) break;
        ImapResponse response;
        const Read result = read(response, milliseconds - waited);
        if (result == Read::Failed) return ImapOutcome::failure(ImapStage::Idle, aborted() ? "stopped" : "the connection ended");
        if (result == Read::TimedOut) break;
        const std::string word = ImapSyntax::statusWord(response);
        if (word == "EXISTS" || word == "RECENT") {
            newMail = true;
            break;
        }
    }
    if (!send(std::string("DONE") + kLineEnd)) return ImapOutcome::failure(ImapStage::Idle, "the connection ended");
    return finish(ImapStage::Idle, nullptr);
}

void ImapSession::close() {
    if (open_ && !aborted()) command(ImapStage::Connect, "LOGOUT");
    release();
}

ImapOutcome ImapSession::command(ImapStage stage, const std::string& text, std::vector<ImapResponse>* untagged) {
    const ImapOutcome sent = sendTagged(stage, text);
    return sent.succeeded ? finish(stage, untagged) : sent;
}

ImapOutcome ImapSession::begin(ImapStage stage, const std::string& text) {
    const ImapOutcome sent = sendTagged(stage, text);
    return sent.succeeded ? continuation(stage) : sent;
}

ImapOutcome ImapSession::sendTagged(ImapStage stage, const std::string& text) {
    if (!link_) return ImapOutcome::failure(stage, "the session is not open");
    tag_ = nextTag();
    if (!send(tag_ + " " + text + kLineEnd)) return ImapOutcome::failure(stage, "the connection ended");
    return ImapOutcome::success(stage);
}

ImapOutcome ImapSession::continuation(ImapStage stage) {
    for (;;) {
        ImapResponse response;
        if (read(response, responseTimeoutMs_) != Read::Response) {
            return ImapOutcome::failure(stage, aborted() ? "stopped" : "no response");
        }
        if (ImapSyntax::isContinuation(response)) return ImapOutcome::success(stage);
        if (ImapSyntax::isTagged(response, tag_)) return ImapOutcome::failure(stage, ImapSyntax::statusText(response));
    }
}

ImapOutcome ImapSession::finish(ImapStage stage, std::vector<ImapResponse>* untagged) {
    for (;;) {
        ImapResponse response;
        if (read(response, responseTimeoutMs_) != Read::Response) {
            return ImapOutcome::failure(stage, aborted() ? "stopped" : "no response");
        }
        if (ImapSyntax::isTagged(response, tag_)) {
            if (ImapSyntax::statusWord(response) == "OK") return ImapOutcome::success(stage);
            return ImapOutcome::failure(stage, ImapSyntax::statusText(response));
        }
        if (ImapSyntax::isContinuation(response)) {
            return ImapOutcome::failure(stage, "the server asked for more than the command has");
        }
        if (untagged) untagged->push_back(std::move(response));
    }
}

std::string ImapSession::nextTag() { return kTagPrefix + std::to_string(++tagNumber_); }

// The connection's time limit runs from the last limitWaits(); a session
// lives for minutes (IDLE), so every command and every receive starts one.
bool ImapSession::send(const std::string& bytes) {
    if (aborted() || !link_) return false;
    link_->limitWaits(responseTimeoutMs_);
    return link_->sendAll(bytes);
}

ImapSession::Read ImapSession::read(ImapResponse& response, unsigned milliseconds) {
    if (!link_) return Read::Failed;
    const DWORD start = GetTickCount();
    for (;;) {
        switch (reader_.next(response)) {
            case ImapReader::Result::Complete: return Read::Response;
            case ImapReader::Result::Broken: return Read::Failed;
            case ImapReader::Result::NeedMore: break;
        }
        const DWORD waited = GetTickCount() - start;
        if (waited >= milliseconds) {
            // A response begun but not finished in time: the server is gone.
            return reader_.pending() ? Read::Failed : Read::TimedOut;
        }
        // The connection's wait ends at the limit or at a stop; after the
        // limit the next look above finds the time up.
        link_->limitWaits(milliseconds - waited);
        std::string bytes;
        if (!link_->receive(bytes)) {
            if (aborted() || !link_->timedOut()) return Read::Failed;
            continue;
        }
        reader_.append(bytes);
    }
}

bool ImapSession::aborted() const { return abort_ && abort_->raised(); }

void ImapSession::release() {
    open_ = false;
    link_ = nullptr;
    if (tls_) {
        if (!aborted()) tls_->close();
        tls_.reset();
    }
    if (plain_) {
        plain_->close();
        plain_.reset();
    }
    reader_ = ImapReader();
    capabilities_.clear();
}
