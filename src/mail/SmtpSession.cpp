#include "mail/SmtpSession.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "net/AbortSignal.h"
#include "mail/Charset.h"
#include "mail/MailData.h"
#include "mail/MailDate.h"
#include "mail/MimeMessage.h"
#include "mail/RandomMessageId.h"
#include "net/PlainConnection.h"
#include "mail/SmtpAuth.h"
#include "mail/SmtpLimits.h"
#include "mail/SmtpReply.h"
#include "mail/UtcNow.h"
#include "net/TlsConnection.h"
#include "text/AnsiText.h"
#include "text/PlainText.h"

namespace {

// A server name longer than a domain name can be is cut to that length.
const std::size_t kMaxServerName = SmtpLimits::kMaxDomain;
const std::size_t kMaxReplyTextKept = SmtpLimits::kMaxEhloLinesKept * SmtpLimits::kMaxReplyLine;
const char kPasswordUnreadable[] =
    "the stored SMTP Password could not be read: type it again in Advanced Settings";
const int kReadyCode = 220;      // greeting, and the answer to STARTTLS
const int kLoggedInCode = 235;   // RFC 4954 6
const int kChallengeCode = 334;  // RFC 4954 4
const int kSuccessClass = 2;
const int kIntermediateClass = 3;
// In the order the classic conversation reads them after a mail's pieces.
const SmtpStage kPlainReplyStages[] = {SmtpStage::MailFrom, SmtpStage::Recipient, SmtpStage::Data,
                                       SmtpStage::EndOfData};
const int kPlainReplyClasses[] = {kSuccessClass, kSuccessClass, kIntermediateClass, kSuccessClass};

int replyCode(const std::string& line) {
    if (line.size() < SmtpLimits::kReplyCodeLength) return 0;
    int code = 0;
    for (std::size_t i = 0; i < SmtpLimits::kReplyCodeLength; ++i) {
        if (!PlainText::isDigit(line[i])) return 0;
        code = code * 10 + (line[i] - '0');
    }
    return code;
}

bool inClass(int code, int expectedClass) { return code / 100 == expectedClass; }

SmtpOutcome lastingFailure(SmtpStage stage, const std::string& detail) {
    SmtpOutcome outcome = SmtpOutcome::failure(stage, detail);
    outcome.lasting = true;
    return outcome;
}

}  // namespace

SmtpSession::SmtpSession(AbortSignal* abort) : abort_(abort) {}

SmtpSession::~SmtpSession() { release(); }

SmtpOutcome SmtpSession::open(const std::string& server, const std::string& heloDomain,
                              const SmtpOptions& options) {
    if (plain_) return SmtpOutcome::failure(SmtpStage::Connect, "the session is already open");
    security_ = options.security;
    heloDomain_ = heloDomain;
    if (security_ == SmtpSecurity::None && !options.user.empty()) {
        // Credentials never go out in the clear: nothing is sent at all.
        return lastingFailure(SmtpStage::Login, "a login needs SMTP Security STARTTLS or TLS");
    }
    if (!options.user.empty() && options.passwordUnreadable) {
        // A login with an empty password would count as a failed one.
        return lastingFailure(SmtpStage::Login, kPasswordUnreadable);
    }
    const std::string name = server.substr(0, kMaxServerName);
    plain_.reset(new PlainConnection(abort_));
    limits_ = options.limits;
    SmtpOutcome outcome = smtpOutcomeOf(plain_->connect(name, portToUse(options), limits_.net.connectMs));
    if (plain_->timedOut()) outcome.silentForMs = limits_.net.connectMs;
    if (outcome.succeeded) {
        link_ = plain_.get();
        outcome = security_ == SmtpSecurity::None ? greetPlainly(heloDomain)
                                                  : greetProtected(name, heloDomain, options);
    }
    if (outcome.succeeded && aborted()) outcome = SmtpOutcome::failure(outcome.stage, "stopped");
    if (!outcome.succeeded) {
        // RFC 5321 4.1.1.10: a refusal still ends with QUIT while the
        // server waits for a command; after a certificate the client
        // rejects, over the TLS just negotiated (RFC 3207 4.1).
        if (inStep_ && !aborted()) quit();
        release();
        return outcome;
    }
    open_ = true;
    return outcome;
}

SmtpOutcome SmtpSession::greetPlainly(const std::string& heloDomain) {
    // The classic conversation goes on whatever the server says, or when it
    // hangs up; only a server that keeps silent past the limit ends it.
    limitWaits(limits_.greetingMs);
    if (readReply().code == 0 && silent()) return noReply(SmtpStage::Greeting);
    limitWaits(limits_.commandMs);
    sendText(MailData::heloLine(heloDomain));
    const Reply reply = readReply();
    if (reply.code == 0 && silent()) return noReply(SmtpStage::Hello);
    return SmtpOutcome::success(SmtpStage::Hello, reply.code, reply.firstLine);
}

SmtpOutcome SmtpSession::greetProtected(const std::string& server, const std::string& heloDomain,
                                        const SmtpOptions& options) {
    if (security_ == SmtpSecurity::Tls) {
        const SmtpOutcome protectedLink = startTls(server, options);
        // Before its greeting the server takes no command, not even QUIT.
        if (protectedLink.stage == SmtpStage::Certificate && !protectedLink.succeeded) readReply();
        if (!protectedLink.succeeded) return protectedLink;
    }
    limitWaits(limits_.greetingMs);
    const Reply greeting = readReply();
    if (greeting.code == 0) return noReply(SmtpStage::Greeting);
    if (greeting.code != kReadyCode) {
        return SmtpOutcome::failure(SmtpStage::Greeting, "the server is not ready", greeting.code,
                                    greeting.firstLine);
    }
    SmtpOutcome outcome = hello(heloDomain);
    if (!outcome.succeeded) return outcome;
    if (security_ == SmtpSecurity::StartTls) {
        if (!capabilities_.startTls) {
            return lastingFailure(SmtpStage::StartTls, "the server offers no STARTTLS");
        }
        outcome = exchange(SmtpStage::StartTls, MimeMessage::startTlsLine(), kSuccessClass);
        if (!outcome.succeeded) return outcome;
        // Whatever the server sent after its 220 was read with it and is
        // gone; the capabilities it gave in the clear are forgotten too.
        outcome = startTls(server, options);
        if (!outcome.succeeded) return outcome;
        outcome = hello(heloDomain);
        if (!outcome.succeeded) return outcome;
    }
    if (options.user.empty()) return outcome;
    return logIn(options);
}

SmtpOutcome SmtpSession::startTls(const std::string& server, const SmtpOptions& options) {
    capabilities_ = EhloCapabilities();
    tls_.reset(new TlsConnection(*plain_));
    inStep_ = false;
    const NetOutcome handshake = tls_->handshake(server, limits_.net.tlsHandshakeMs);
    if (!handshake.succeeded) {
        SmtpOutcome outcome = smtpOutcomeOf(handshake);
        if (tls_->timedOut()) outcome.silentForMs = limits_.net.tlsHandshakeMs;
        return outcome;
    }
    link_ = tls_.get();
    inStep_ = security_ == SmtpSecurity::StartTls;
    return smtpOutcomeOf(tls_->checkCertificate(server, options.trustedCaFile));
}

SmtpOutcome SmtpSession::hello(const std::string& heloDomain) {
    Reply reply;
    const SmtpOutcome outcome =
        exchange(SmtpStage::Hello, MimeMessage::ehloLine(heloDomain), kSuccessClass, &reply);
    if (outcome.succeeded) capabilities_ = parseEhloReply(reply.text);
    return outcome;
}

SmtpOutcome SmtpSession::logIn(const SmtpOptions& options) {
    // RFC 4616 2 and every server reading LOGIN take user and password as
    // UTF-8; the settings hold them in the ANSI code page.
    const std::string user = AnsiText::toUtf8(options.user);
    const std::string password = AnsiText::toUtf8(options.password);
    switch (SmtpAuth::choose(capabilities_)) {
        case SmtpAuth::Mechanism::Plain: return logInPlain(user, password);
        case SmtpAuth::Mechanism::Login: return logInLogin(user, password);
        case SmtpAuth::Mechanism::None: break;
    }
    return lastingFailure(SmtpStage::Login, "the server offers neither AUTH PLAIN nor AUTH LOGIN");
}

SmtpOutcome SmtpSession::logInPlain(const std::string& user, const std::string& password) {
    const std::string oneLine = SmtpAuth::plainWithResponse(user, password);
    if (oneLine.empty()) {
        const SmtpOutcome asked = exchange(SmtpStage::Login, SmtpAuth::plainCommand(), kIntermediateClass);
        if (!asked.succeeded) return asked;
    }
    const std::string response =
        oneLine.empty() ? SmtpAuth::plainResponse(user, password) : oneLine;
    Reply reply;
    SmtpOutcome outcome = exchange(SmtpStage::Login, response, kSuccessClass, &reply);
    if (outcome.succeeded && reply.code != kLoggedInCode) outcome.succeeded = false;
    if (!outcome.succeeded) outcome.detail = "the server did not accept the login";
    return outcome;
}

SmtpOutcome SmtpSession::logInLogin(const std::string& user, const std::string& password) {
    Reply reply;
    SmtpOutcome outcome = exchange(SmtpStage::Login, SmtpAuth::loginCommand(), kIntermediateClass, &reply);
    if (outcome.succeeded && reply.code == kChallengeCode) {
        outcome = exchange(SmtpStage::Login, SmtpAuth::loginAnswer(user), kIntermediateClass, &reply);
    }
    if (outcome.succeeded && reply.code == kChallengeCode) {
        outcome = exchange(SmtpStage::Login, SmtpAuth::loginAnswer(password), kSuccessClass, &reply);
    }
    if (outcome.succeeded && reply.code != kLoggedInCode) outcome.succeeded = false;
    if (!outcome.succeeded) outcome.detail = "the server did not accept the login";
    return outcome;
}

SmtpOutcome SmtpSession::sendMail(const MailJob& job) {
    if (!isOpen()) return SmtpOutcome::failure(SmtpStage::Connect, "the session is not open");
    return security_ == SmtpSecurity::None ? sendPlainMail(job) : sendProtectedMail(job);
}

SmtpOutcome SmtpSession::sendPlainMail(const MailJob& job) {
    SmtpOutcome outcome;
    bool refused = false;
    std::size_t replies = 0;
    for (const MailData::Piece& piece : MailData::mailPieces(job, formatMailDate(utcNow()))) {
        const std::size_t at = std::min(replies, std::size(kPlainReplyStages) - 1);
        limitWaits(piece.readsReply ? limitFor(kPlainReplyStages[at]) : limits_.dataBlockMs);
        sendText(piece.bytes);
        if (!piece.readsReply) continue;
        ++replies;
        const Reply reply = readReply();
        if (reply.code == 0 && silent()) return noReply(kPlainReplyStages[at]);
        if (!refused) {
            refused = !inClass(reply.code, kPlainReplyClasses[at]);
            outcome = refused ? SmtpOutcome::failure(kPlainReplyStages[at], "the server refused", reply.code,
                                                     reply.firstLine)
                              : SmtpOutcome::success(kPlainReplyStages[at], reply.code, reply.firstLine);
        }
        if (piece.opensData && !SmtpReply::invitesData(reply.firstLine)) {
            // The mail is lost as any refused mail is, but its text never
            // reaches the server as commands; the next mail starts afresh.
            limitWaits(limits_.commandMs);
            sendText(MailData::resetLine());
            readReply();
            return outcome;
        }
    }
    return outcome;
}

SmtpOutcome SmtpSession::sendProtectedMail(const MailJob& job) {
    const bool eightBit = MimeMessage::sendsEightBit(job.body, capabilities_.eightBitMime);
    SmtpOutcome outcome =
        exchange(SmtpStage::MailFrom, MimeMessage::mailFromLine(job.sender, eightBit), kSuccessClass);
    if (!outcome.succeeded) return refusedWithReset(outcome);
    outcome = exchange(SmtpStage::Recipient, MimeMessage::rcptToLine(job.recipient), kSuccessClass);
    if (!outcome.succeeded) return refusedWithReset(outcome);
    outcome = exchange(SmtpStage::Data, MailData::dataLine(), kIntermediateClass);
    if (!outcome.succeeded) return refusedWithReset(outcome);
    const std::string messageId = job.messageId.empty() ? newMessageId(heloDomain_) : job.messageId;
    const MimeMessage::Extras extras{formatMailDate(utcNow()), messageId, eightBit,
                                     Charset::ofCodePage(AnsiText::codePage())};
    return exchange(SmtpStage::EndOfData, MimeMessage::data(job, extras), kSuccessClass);
}

SmtpOutcome SmtpSession::refusedWithReset(const SmtpOutcome& refusal) {
    if (refusal.replyCode != 0) {
        limitWaits(limits_.commandMs);
        sendText(MailData::resetLine());
        readReply();
    }
    return refusal;
}

SmtpOutcome SmtpSession::exchange(SmtpStage stage, const std::string& command, int expectedClass,
                                  Reply* reply) {
    Reply local;
    Reply& answer = reply ? *reply : local;
    // The data goes out within the limit of a block; its reply then gets
    // the longest wait of all, while the server takes the mail.
    limitWaits(stage == SmtpStage::EndOfData ? limits_.dataBlockMs : limitFor(stage));
    if (!sendText(command)) return noReply(stage);
    if (stage == SmtpStage::EndOfData) limitWaits(limits_.endOfDataMs);
    answer = readReply(reply != nullptr);
    if (answer.code == 0) return noReply(stage);
    if (!inClass(answer.code, expectedClass)) {
        return SmtpOutcome::failure(stage, "the server refused", answer.code, answer.firstLine);
    }
    return SmtpOutcome::success(stage, answer.code, answer.firstLine);
}

void SmtpSession::close() {
    if (!isOpen()) return;
    quit();
    release();
}

void SmtpSession::quit() {
    limitWaits(limits_.commandMs);
    sendText(MailData::quitLine());
    readReply();
    if (tls_) tls_->close();
}

uint32_t SmtpSession::limitFor(SmtpStage stage) const {
    switch (stage) {
        case SmtpStage::Greeting: return limits_.greetingMs;
        case SmtpStage::MailFrom: return limits_.mailFromMs;
        case SmtpStage::Recipient: return limits_.recipientMs;
        case SmtpStage::Data: return limits_.dataMs;
        case SmtpStage::EndOfData: return limits_.endOfDataMs;
        default: return limits_.commandMs;
    }
}

void SmtpSession::limitWaits(uint32_t milliseconds) {
    waitLimitMs_ = milliseconds;
    if (link_) link_->limitWaits(milliseconds);
}

bool SmtpSession::silent() const { return link_ && link_->timedOut(); }

SmtpOutcome SmtpSession::noReply(SmtpStage stage) const {
    if (!link_ || !link_->timedOut()) return SmtpOutcome::failure(stage, "the connection broke");
    SmtpOutcome outcome =
        SmtpOutcome::failure(stage, "no answer within " + std::to_string((waitLimitMs_ + 999) / 1000) + " s");
    outcome.silentForMs = waitLimitMs_;
    return outcome;
}

bool SmtpSession::sendText(const std::string& text) {
    if (link_ && link_->sendAll(text)) return true;
    inStep_ = false;
    return false;
}

SmtpSession::Reply SmtpSession::readReply(bool keepText) {
    Reply reply;
    if (!link_) return reply;
    std::string unfinished;
    bool firstLineDone = false;
    for (;;) {
        std::string chunk;
        if (!link_->receive(chunk)) break;
        if (!firstLineDone) {
            const std::size_t end = chunk.find('\n');
            reply.firstLine.append(chunk, 0, end);
            firstLineDone = end != std::string::npos;
            if (reply.firstLine.size() > SmtpLimits::kMaxReplyLine) {
                reply.firstLine.resize(SmtpLimits::kMaxReplyLine);
            }
        }
        if (keepText) {
            reply.text.append(chunk, 0, kMaxReplyTextKept - std::min(kMaxReplyTextKept, reply.text.size()));
        }
        unfinished += chunk;
        if (SmtpReply::complete(unfinished)) {
            if (!reply.firstLine.empty() && reply.firstLine.back() == '\r') reply.firstLine.pop_back();
            reply.code = replyCode(reply.firstLine);
            inStep_ = reply.code != 0;
            return reply;
        }
        unfinished = SmtpReply::pending(unfinished);
    }
    // A reply cut off by the end of the connection counts as none.
    inStep_ = false;
    return Reply{0, reply.firstLine, reply.text};
}

bool SmtpSession::aborted() const { return abort_ && abort_->raised(); }

void SmtpSession::release() {
    open_ = false;
    inStep_ = false;
    link_ = nullptr;
    tls_.reset();
    plain_.reset();
}
