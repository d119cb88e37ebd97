#include "delivery/PushTransport.h"

#include "push/PushRequest.h"
#include "push/PushUrl.h"

namespace {

const char kUrlStage[] = "URL";
const char kConnectStage[] = "connect";
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

DeliveryOutcome refusedUrl(const std::string& refusal) {
    DeliveryOutcome outcome;
    outcome.verdict = Verdict::RefusedForGood;
    outcome.stage = kUrlStage;
    outcome.answer = refusal;
    outcome.failure = kRefusedUrl + refusal;
    return outcome;
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
    const PushUrlParse parsed = parsePushUrl(front.push.url);
    if (!parsed.target) return refusedUrl(parsed.refusal);
    DeliveryOutcome outcome;
    if (const std::optional<PushOutcome> failed = client_.open(*parsed.target, front.push.trustedCaFile)) {
        outcome = pushDeliveryOutcome(*failed);
    } else {
        outcome.verdict = Verdict::Done;
        outcome.answer = describeTarget(*parsed.target);
    }
    outcome.stage = kConnectStage;
    return outcome;
}

// The batch's jobs share its host, not necessarily its URL: each request is
// made from its own job's.
DeliveryOutcome PushTransport::send(const DeliveryJob& job) {
    const PushUrlParse parsed = parsePushUrl(job.push.url);
    if (!parsed.target) return refusedUrl(parsed.refusal);
    if (!client_.isOpen()) {
        if (const std::optional<PushOutcome> failed = client_.open(*parsed.target, job.push.trustedCaFile)) {
            return pushDeliveryOutcome(*failed);
        }
    }
    const HttpRequest request = pushRequest(*parsed.target, job.push.title, job.push.message);
    return pushDeliveryOutcome(client_.exchange(*parsed.target, request));
}
