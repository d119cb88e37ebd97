#include "forward/ForwardPlan.h"

#include <cstddef>
#include <optional>

#include "forward/CarrierTable.h"
#include "forward/CooldownGatherer.h"
#include "forward/MessageEvent.h"
#include "settings/Settings.h"

namespace {

const char kHandledType[] = "incoming_privateMessage";
const char kReplyMedium[] = "AIM";
const char kTestMailSubject[] = "IM: test mail";
const char kTestMailBody[] = "Test mail from IM Tolvaning.";
// Gathered messages: one line each, counted in the subject.
const char kGatheredLineEnd[] = "\n";
const char kGatheredCountStart[] = " (";
const char kGatheredCountEnd[] = " messages)";
const char kGatheredOneEnd[] = " message)";

// The text to forward, with the trigger prefix cut off; none when the
// prefix is required and the text does not begin with it.
std::optional<std::string> textAfterPrefix(const Settings& settings, const std::string& text) {
    const std::string& prefix = settings.triggerPrefix;
    if (!settings.prefixEnabled || prefix.empty()) return text;
    if (text.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    return text.substr(prefix.size());
}

// "EMail Address" for "ForwardType" 1, the phone's gateway address for 2,
// and empty for any other type.
std::string forwardDestination(const Settings& settings) {
    switch (settings.forwardType) {
        case kForwardToEmail:
            return settings.emailAddress;
        case kForwardToPhone:
            return phoneGatewayAddress(settings.phoneNumber, settings.provider);
        default:
            return std::string();
    }
}

}  // namespace

std::optional<ForwardText> filterForward(const Settings& settings, const MessageEvent& event) {
    if (!settings.forwardingEnabled || event.type != kHandledType) return std::nullopt;
    std::optional<std::string> text = textAfterPrefix(settings, event.plainText);
    if (!text || text->empty()) return std::nullopt;
    std::string destination = forwardDestination(settings);
    if (destination.empty()) return std::nullopt;
    return ForwardText{std::move(*text), std::move(destination)};
}

ForwardPlan planForward(const Settings& settings, const MessageEvent& event, ForwardText passed) {
    ForwardPlan plan;
    plan.mails = composeMails(settings, event.name, passed.text);
    // Nothing queued means nothing was forwarded: telling the sender
    // otherwise would report a failure as success.
    if (plan.mails.empty()) return plan;
    plan.destination = std::move(passed.destination);
    plan.raiseAlert = settings.showSystrayAlert;
    plan.alertText = alertTextFor(plan.mails.back().subject);
    plan.sendReply = settings.replyEnabled && event.medium == kReplyMedium;
    return plan;
}

ForwardPlan planForward(const Settings& settings, const MessageEvent& event) {
    std::optional<ForwardText> passed = filterForward(settings, event);
    if (!passed) return ForwardPlan();
    return planForward(settings, event, std::move(*passed));
}

ForwardPlan planGathered(const Settings& settings, const GatheredMessages& gathered) {
    ForwardPlan plan;
    std::string destination = forwardDestination(settings);
    if (destination.empty() || gathered.texts.empty()) return plan;
    std::string text = gathered.texts.front();
    for (std::size_t i = 1; i < gathered.texts.size(); ++i) text += kGatheredLineEnd + gathered.texts[i];
    const std::size_t count = gathered.texts.size();
    const std::string tail =
        kGatheredCountStart + std::to_string(count) + (count == 1 ? kGatheredOneEnd : kGatheredCountEnd);
    plan.mails = composeMails(settings, gathered.name, text, tail);
    if (!plan.mails.empty()) plan.destination = std::move(destination);
    return plan;
}

SmtpOptions smtpOptions(const Settings& settings) {
    SmtpOptions options;
    options.port = settings.smtpPort;
    options.security = securityFromNumber(settings.smtpSecurity);
    options.user = settings.smtpUser;
    options.password = settings.smtpPassword;
    options.trustedCaFile = settings.trustedCaFile;
    return options;
}

std::vector<DeliveryJob> mailJobs(const Settings& settings, ForwardPlan& plan) {
    std::vector<DeliveryJob> jobs;
    jobs.reserve(plan.mails.size());
    const SmtpOptions options = smtpOptions(settings);
    for (ComposedMail& mail : plan.mails) {
        jobs.emplace_back(MailJob{settings.smtpServer, settings.fromAddress, plan.destination,
                                  std::move(mail.subject), std::move(mail.body), options},
                          settings.retryMinutes);
    }
    return jobs;
}

MailJob testMailJob(const Settings& settings) {
    return MailJob{settings.smtpServer, settings.fromAddress, forwardDestination(settings),
                   kTestMailSubject, kTestMailBody, smtpOptions(settings)};
}
