#include "push/PushDelivery.h"

#include "push/PushClient.h"
#include "push/PushRequest.h"
#include "push/PushUrl.h"

namespace {

const char kRefusedUrl[] = "the push URL is refused: ";

}  // namespace

PushOutcome deliverPush(const PushJob& job, AbortSignal* abort) {
    const PushUrlParse parsed = parsePushUrl(job.url);
    if (!parsed.target) {
        PushOutcome refused;
        refused.result = PushResult::RefusedForGood;
        refused.description = kRefusedUrl + parsed.refusal;
        return refused;
    }
    const HttpRequest request = pushRequest(*parsed.target, job.title, job.message);
    return PushClient(abort).send(*parsed.target, request, job.trustedCaFile);
}
