#include "delivery/TestMail.h"

#include <cstdint>

#include "delivery/FailureText.h"
#include "mail/MailData.h"
#include "mail/SmtpSession.h"
#include "push/PushDelivery.h"

namespace {

const char kSent[] = "Sent: ";
const char kNotSent[] = "Not sent: ";
// A user waits for a test mail's result at the dialog: no step of it waits
// longer on the server.
const uint32_t kTestMailLimitMs = 30 * 1000;

}  // namespace

std::string sendTestMail(const MailJob& job, AbortSignal* abort) {
    SmtpSession session(abort);
    const unsigned port = static_cast<unsigned>(portToUse(job.options));
    SmtpOptions options = job.options;
    options.limits = options.limits.atMost(kTestMailLimitMs);
    const SmtpOutcome opened = session.open(job.server, MailData::heloDomain(job.sender), options);
    if (!opened.succeeded) return FailureText::testMailResult(job.server, port, opened);
    const SmtpOutcome outcome = session.sendMail(job);
    session.close();
    return FailureText::testMailResult(job.server, port, outcome);
}

std::string sendTestPush(const PushJob& job, AbortSignal* abort) {
    const PushOutcome outcome = deliverPush(job, abort);
    return (outcome.result == PushResult::Sent ? kSent : kNotSent) + outcome.description;
}
