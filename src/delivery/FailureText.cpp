#include "delivery/FailureText.h"

#include "mail/SmtpLimits.h"

namespace FailureText {

namespace {

const char kSent[] = "Sent: ";
// Of a reply line up to 512 bytes long, as much as an alert can show.
const std::size_t kMaxReplyShown = 80;
const char kNotSent[] = "Not sent: ";

// How an alert names what its transport did not send.
struct TransportWords {
    TransportKind transport;
    const char* alertPrefix;
    const char* one;
    const char* many;
    const char* keptOne;
    const char* keptMany;
};

const TransportWords kTransportWords[] = {
    {TransportKind::Mail, "IM: mail not sent: ", " mail dropped", " mails dropped", " mail kept for retrying",
     " mails kept for retrying"},
    {TransportKind::Push, "IM: push not sent: ", " message dropped", " messages dropped",
     " message kept for retrying", " messages kept for retrying"},
};

const TransportWords& transportWords(TransportKind transport) {
    for (const TransportWords& words : kTransportWords) {
        if (words.transport == transport) return words;
    }
    return kTransportWords[0];
}

// How the user reads each stage after the server's name: what the server
// refused there with a reply, and what failed there without one.
struct StageWords {
    SmtpStage stage;
    const char* refused;
    const char* failed;
};

const StageWords kStageWords[] = {
    {SmtpStage::Greeting, "refused the connection", "sent no greeting"},
    {SmtpStage::Hello, "refused the greeting", "did not answer the greeting"},
    {SmtpStage::StartTls, "refused STARTTLS", "could not start TLS"},
    {SmtpStage::Certificate, "refused the certificate check", "failed the certificate check"},
    {SmtpStage::Login, "refused the login", "could not log in"},
    {SmtpStage::MailFrom, "refused the sender", "did not answer the sender"},
    {SmtpStage::Recipient, "refused the recipient", "did not answer the recipient"},
    {SmtpStage::Data, "refused the mail data", "did not answer DATA"},
    {SmtpStage::EndOfData, "refused the mail", "did not confirm the mail"},
};

const StageWords* wordsFor(SmtpStage stage) {
    for (const StageWords& words : kStageWords) {
        if (words.stage == stage) return &words;
    }
    return nullptr;
}

std::string withReason(const std::string& text, const std::string& reason) {
    return reason.empty() ? text : text + " (" + reason + ")";
}

std::string droppedText(const TransportWords& words, std::size_t count) {
    return std::to_string(count) + (count == 1 ? words.one : words.many);
}

std::string failureAlert(const TransportWords& words, const std::string& failure, std::size_t dropped) {
    return words.alertPrefix + failure + "; " + droppedText(words, dropped);
}

}  // namespace

std::string describe(const std::string& server, unsigned port, const SmtpOutcome& outcome) {
    if (outcome.stage == SmtpStage::NameLookup) return "could not find " + server;
    const StageWords* words = wordsFor(outcome.stage);
    if (!words) {
        return withReason("could not connect to " + server + ":" + std::to_string(port),
                          outcome.detail);
    }
    if (outcome.replyCode == 0) return withReason(server + " " + words->failed, outcome.detail);
    // The server's own words say why, which the stage alone often does not
    // ("530 5.7.0 Must issue a STARTTLS command first" at the sender).
    std::string reply = outcome.replyLine.substr(0, kMaxReplyShown);
    if (reply.size() < SmtpLimits::kReplyCodeLength) reply = std::to_string(outcome.replyCode);
    return server + " " + words->refused + " (" + reply + ")";
}

std::string alert(const std::string& server, unsigned port, const SmtpOutcome& outcome,
                  std::size_t mailsDropped) {
    return failureAlert(transportWords(TransportKind::Mail), describe(server, port, outcome), mailsDropped);
}

std::string alert(const FailedAttempt& attempt) {
    const TransportWords& words = transportWords(attempt.transport);
    if (attempt.mailsDropped == 0 && attempt.mailsKept > 0) {
        return words.alertPrefix + attempt.failure + "; " + std::to_string(attempt.mailsKept) +
               (attempt.mailsKept == 1 ? words.keptOne : words.keptMany);
    }
    if (attempt.retriedMinutes <= 0) return failureAlert(words, attempt.failure, attempt.mailsDropped);
    return words.alertPrefix + droppedText(words, attempt.mailsDropped) + " after " +
           std::to_string(attempt.retriedMinutes) + (attempt.retriedMinutes == 1 ? " minute" : " minutes") +
           " of retrying";
}

std::string testMailResult(const std::string& server, unsigned port, const SmtpOutcome& outcome) {
    if (!outcome.succeeded && outcome.silentForMs > 0) {
        return kNotSent + std::string("no answer from ") + server + ":" + std::to_string(port) + " within " +
               std::to_string((outcome.silentForMs + 999) / 1000) + " s";
    }
    if (!outcome.succeeded) return kNotSent + describe(server, port, outcome);
    return kSent + outcome.replyLine;
}

}  // namespace FailureText
