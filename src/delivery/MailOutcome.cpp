#include "delivery/MailOutcome.h"

#include "delivery/FailureText.h"

namespace MailOutcome {

namespace {

const int kTemporaryClass = 4;
const int kPermanentClass = 5;

bool isMailStage(SmtpStage stage) {
    return stage == SmtpStage::MailFrom || stage == SmtpStage::Recipient || stage == SmtpStage::Data ||
           stage == SmtpStage::EndOfData;
}

// The reply after its code, or, where the server gave none, why not.
std::string answerOf(const SmtpOutcome& outcome) {
    if (outcome.replyCode == 0) return outcome.detail;
    const std::size_t textStart = outcome.replyLine.find_first_not_of("0123456789");
    if (textStart == std::string::npos) return std::string();
    return outcome.replyLine.substr(textStart + 1);
}

DeliveryOutcome withWords(const std::string& server, unsigned port, const SmtpOutcome& outcome,
                          Verdict failed) {
    DeliveryOutcome result;
    result.verdict = outcome.succeeded ? Verdict::Done : failed;
    result.stage = stageName(outcome.stage);
    result.code = outcome.replyCode;
    result.answer = answerOf(outcome);
    if (!outcome.succeeded) result.failure = FailureText::describe(server, port, outcome);
    return result;
}

}  // namespace

DeliveryOutcome opened(const std::string& server, unsigned port, const SmtpOutcome& outcome) {
    const bool forGood = outcome.replyCode / 100 == kPermanentClass;
    return withWords(server, port, outcome, forGood ? Verdict::RefusedForGood : Verdict::RefusedForNow);
}

DeliveryOutcome sent(const std::string& server, unsigned port, const SmtpOutcome& outcome) {
    const bool forNow = isMailStage(outcome.stage) && outcome.replyCode / 100 == kTemporaryClass;
    return withWords(server, port, outcome, forNow ? Verdict::RefusedForNow : Verdict::RefusedForGood);
}

}  // namespace MailOutcome
