#include "forward/ForwardPlan.h"

#include <optional>

#include "forward/CarrierTable.h"
#include "plugin/MessageEvent.h"
#include "settings/Settings.h"

namespace {

const char kHandledType[] = "incoming_privateMessage";
const char kReplyMedium[] = "AIM";

enum ForwardType { kToEmailAddress = 1, kToPhone = 2 };

// The text to forward, with the trigger prefix cut off; none when the
// prefix is required and the text does not begin with it.
std::optional<std::string> textAfterPrefix(const Settings& settings, const std::string& text) {
    const std::string& prefix = settings.triggerPrefix;
    if (!settings.prefixEnabled || prefix.empty()) return text;
    if (text.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    return text.substr(prefix.size());
}

}  // namespace

std::string forwardDestination(const Settings& settings) {
    switch (settings.forwardType) {
        case kToEmailAddress:
            return settings.emailAddress;
        case kToPhone:
            return phoneGatewayAddress(settings.phoneNumber, settings.provider);
        default:
            return std::string();
    }
}

ForwardPlan planForward(const Settings& settings, const MessageEvent& event) {
    ForwardPlan plan;
    if (!settings.forwardingEnabled || event.type != kHandledType) return plan;
    const std::optional<std::string> text = textAfterPrefix(settings, event.plainText);
    if (!text) return plan;
    std::string destination = forwardDestination(settings);
    if (destination.empty() || text->empty()) return plan;

    plan.mails = composeMails(settings, event.name, *text);
    // Nothing queued means nothing was forwarded: telling the sender
    // otherwise would report a failure as success.
    if (plan.mails.empty()) return plan;
    plan.destination = std::move(destination);
    plan.raiseAlert = settings.showSystrayAlert;
    plan.alertText = alertTextFor(plan.mails.back().subject);
    plan.sendReply = settings.replyEnabled && event.medium == kReplyMedium;
    return plan;
}
