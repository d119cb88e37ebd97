#include "forward/MessageHandler.h"

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

void enqueueMails(RelayPlugin& plugin, const ForwardPlan& plan) {
    const Settings& settings = plugin.settings();
    for (const ComposedMail& mail : plan.mails) {
        plugin.mailQueue().enqueue(
            MailJob{settings.smtpServer, settings.fromAddress, plan.destination, mail.subject, mail.body});
    }
}

}  // namespace

void MessageHandler::handle(RelayPlugin& plugin, const MessageEvent& event) {
    const ForwardPlan plan = planForward(plugin.settings(), event);
    enqueueMails(plugin, plan);
    if (plan.raiseAlert) {
        plugin.setSystrayAlert(plan.alertText.c_str(), kAlertStyle, kAlertFirstValue, kAlertSecondValue,
                               kAlertThirdValue);
    }
    if (plan.sendReply) {
        plugin.sendMessage(event.medium.c_str(), event.connection, event.name.c_str(),
                           plugin.settings().reply.c_str());
    }
}
