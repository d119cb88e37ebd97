#include "delivery/PushTransport.h"

#include "push/PushDelivery.h"
#include "push/PushUrl.h"

namespace {

const char kUrlStage[] = "URL";
const char kRequestStage[] = "request";
const char kRefusedUrl[] = "the push URL is refused: ";
const uint64_t kMillisecondsPerSecond = 1000;

Verdict verdictOf(PushResult result) {
    switch (result) {
        case PushResult::Sent: return Verdict::Done;
        case PushResult::RefusedForNow: return Verdict::RefusedForNow;
        case PushResult::RefusedForGood: break;
    }
    return Verdict::RefusedForGood;
}

// The service's words after "HOST answered 400 ": what the log shows
// beside the status.
std::string answerOf(const PushOutcome& outcome) {
    if (outcome.status == 0) return outcome.description;
    const std::size_t reason = outcome.description.find(" (");
    if (reason == std::string::npos) return std::string();
    return outcome.description.substr(reason + 2, outcome.description.size() - reason - 3);
}

}  // namespace

DeliveryOutcome pushDeliveryOutcome(const PushOutcome& outcome) {
    DeliveryOutcome result;
    result.verdict = verdictOf(outcome.result);
    result.stage = kRequestStage;
    result.code = outcome.status;
    result.answer = answerOf(outcome);
    if (outcome.result != PushResult::Sent) result.failure = outcome.description;
    if (outcome.retryAfterSeconds) result.retryAfterMs = *outcome.retryAfterSeconds * kMillisecondsPerSecond;
    return result;
}

DeliveryOutcome PushTransport::open(const DeliveryJob& front) {
    DeliveryOutcome outcome;
    outcome.stage = kUrlStage;
    const PushUrlParse parsed = parsePushUrl(front.push.url);
    if (!parsed.target) {
        outcome.verdict = Verdict::RefusedForGood;
        outcome.answer = parsed.refusal;
        outcome.failure = kRefusedUrl + parsed.refusal;
        return outcome;
    }
    outcome.verdict = Verdict::Done;
    outcome.answer = describeTarget(*parsed.target);
    return outcome;
}

DeliveryOutcome PushTransport::send(const DeliveryJob& job) {
    return pushDeliveryOutcome(deliverPush(job.push, abort_));
}
