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
    result.needsUser = outcome.lasting;
    return result;
}

}  // namespace

DeliveryOutcome opened(const std::string& server, unsigned port, const SmtpOutcome& outcome) {
    const bool forGood = outcome.replyCode / 100 == kPermanentClass;
    return withWords(server, port, outcome, forGood ? Verdict::RefusedForGood : Verdict::RefusedForNow);
}

DeliveryOutcome sent(const std::string& server, unsigned port, const SmtpOutcome& outcome) {
    // A connection that broke before the end of the data cannot have
    // delivered the mail; one that broke waiting for the reply to the final
    // "." may have, and the mail is not sent twice.
    const bool brokeBeforeData = outcome.replyCode == 0 && isMailStage(outcome.stage) &&
                                 outcome.stage != SmtpStage::EndOfData;
    const bool forNow =
        brokeBeforeData || (isMailStage(outcome.stage) && outcome.replyCode / 100 == kTemporaryClass);
    return withWords(server, port, outcome, forNow ? Verdict::RefusedForNow : Verdict::RefusedForGood);
}

}  // namespace MailOutcome
