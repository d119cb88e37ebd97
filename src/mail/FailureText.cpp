#include "mail/FailureText.h"

namespace FailureText {

namespace {

const char kAlertPrefix[] = "IM: mail not sent: ";
const char kSent[] = "Sent: ";
const char kNotSent[] = "Not sent: ";

// How the user reads each stage: what the server refused there, and what
// was missing when it did not answer at all.
struct StageWords {
    SmtpStage stage;
    const char* refused;
    const char* unanswered;
};

const StageWords kStageWords[] = {
    {SmtpStage::Greeting, "refused the connection", "sent no greeting"},
    {SmtpStage::Hello, "refused the greeting", "did not answer the greeting"},
    {SmtpStage::StartTls, "refused STARTTLS", "did not answer STARTTLS"},
    {SmtpStage::Certificate, "sent a certificate that is not trusted", "sent no certificate"},
    {SmtpStage::Login, "refused the login", "did not answer the login"},
    {SmtpStage::MailFrom, "refused the sender", "did not answer the sender"},
    {SmtpStage::RcptTo, "refused the recipient", "did not answer the recipient"},
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

std::string mailsDroppedText(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " mail dropped" : " mails dropped");
}

}  // namespace

std::string describe(const std::string& server, unsigned port, const SmtpOutcome& outcome) {
    if (outcome.stage == SmtpStage::NameLookup) {
        return withReason("could not find " + server, outcome.text);
    }
    const StageWords* words = wordsFor(outcome.stage);
    if (!words) {
        return withReason("could not connect to " + server + ":" + std::to_string(port),
                          outcome.text);
    }
    if (outcome.code == 0) return withReason(server + " " + words->unanswered, outcome.text);
    return server + " " + words->refused + " (" + std::to_string(outcome.code) + ")";
}

std::string alert(const std::string& server, unsigned port, const SmtpOutcome& outcome,
                  std::size_t mailsDropped) {
    return kAlertPrefix + describe(server, port, outcome) + "; " + mailsDroppedText(mailsDropped);
}

std::string testMailResult(const std::string& server, unsigned port, const SmtpOutcome& outcome) {
    if (!outcome.ok) return kNotSent + describe(server, port, outcome);
    std::string result = kSent + std::to_string(outcome.code);
    if (!outcome.text.empty()) result += " " + outcome.text;
    return result;
}

}  // namespace FailureText
