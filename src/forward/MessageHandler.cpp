#include "forward/MessageHandler.h"

#include "forward/AwayRule.h"
#include "forward/ForwardPlan.h"
#include "mail/MailJob.h"
#include "plugin/MessageEvent.h"
#include "plugin/RelayPlugin.h"

namespace {

const char kAlertStyle[] = "default";
// The three values the host is given with every forwarded-message alert.
const int32_t kAlertFirstValue = 1;
const int32_t kAlertSecondValue = 0;
const int32_t kAlertThirdValue = 0;

// One taking of the queue's lock for all parts of the message, so that a
// message of many parts costs the host's thread one wait, not one a part.
bool enqueueMails(RelayPlugin& plugin, ForwardPlan& plan) {
    const Settings& settings = plugin.settings();
    std::vector<MailJob> jobs;
    jobs.reserve(plan.mails.size());
    for (ComposedMail& mail : plan.mails) {
        jobs.push_back(MailJob{settings.smtpServer, settings.fromAddress, plan.destination,
                               std::move(mail.subject), std::move(mail.body)});
    }
    return plugin.mailQueue().enqueueAll(std::move(jobs));
}

}  // namespace

void MessageHandler::handle(RelayPlugin& plugin, const MessageEvent& event) {
    ForwardPlan plan = planForward(plugin.settings(), event);
    if (plan.mails.empty()) return;
    // Asked last, so that only a message that would go out costs the calls.
    if (!forwardsNow(plugin.settings().awayMinutes, plugin.presenceProbe())) return;
    // A message whose mails could not be queued was not forwarded: neither
    // the alert nor the reply may say it was.
    if (!enqueueMails(plugin, plan)) return;
    if (plan.raiseAlert) {
        plugin.setSystrayAlert(plan.alertText.c_str(), kAlertStyle, kAlertFirstValue, kAlertSecondValue,
                               kAlertThirdValue);
    }
    if (plan.sendReply) {
        plugin.sendMessage(event.medium.c_str(), event.connection, event.name.c_str(),
                           plugin.settings().reply.c_str());
    }
}
