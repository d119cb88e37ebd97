#include "forward/ForwardPlan.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "forward/CarrierTable.h"
#include "forward/CooldownGatherer.h"
#include "forward/MessageEvent.h"
#include "push/PushRequest.h"
#include "push/PushUrl.h"
#include "settings/Settings.h"

namespace {

const char kHandledType[] = "incoming_privateMessage";
const char kReplyMedium[] = "AIM";
const char kTestMailSubject[] = "IM: test mail";
const char kTestMailBody[] = "Test mail from IM Tolvaning.";
const char kTestPushTitle[] = "IM: test notification";
const char kTestPushMessage[] = "Test notification from IM Tolvaning.";
const char kTitleStart[] = "IM: ";
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
        case kForwardToPush:
            return settings.pushUrl;
        default:
            return std::string();
    }
}

uint32_t asUnsigned(int32_t value) { return static_cast<uint32_t>(value); }

// The parts of a push: "CharLimit" becomes the smaller of itself (when on)
// and what the service takes, so a part never exceeds either. A URL that
// is refused gets no limit of its own; the sender refuses it.
std::vector<ComposedMail> composePush(const Settings& settings, const std::string& url,
                                      const std::string& name, const std::string& text,
                                      const std::string& tail) {
    Settings limited = settings;
    const PushUrlParse parsed = parsePushUrl(url);
    if (parsed.target) {
        const uint32_t service = pushMessageLimit(parsed.target->service, name, text);
        const bool userLimit = settings.charLimitEnabled;
        limited.charLimitEnabled = true;
        limited.charLimit = static_cast<int32_t>(
            userLimit ? std::min(asUnsigned(settings.charLimit), service) : service);
        // Splitting the user did not ask for still sends the first part.
        if (!userLimit && settings.messageLimit == 0) limited.messageLimit = 1;
    }
    return composeMails(limited, name, text, tail, TextUnit::Utf8Character);
}

// The mails (for push, the notifications) of a text to the destination,
// with the subject's tail; the subject of the last one as the host's alert
// shows it, in the host's code page.
std::string composeInto(ForwardPlan& plan, const Settings& settings, const std::string& destination,
                        const std::string& name, const std::string& text, const std::string& tail,
                        ToUtf8 toUtf8) {
    plan.push = settings.forwardType == kForwardToPush;
    if (!plan.push) {
        plan.mails = composeMails(settings, name, text, tail);
        return plan.mails.empty() ? std::string() : plan.mails.back().subject;
    }
    const std::string name8 = toUtf8 ? toUtf8(name) : name;
    plan.mails = composePush(settings, destination, name8, toUtf8 ? toUtf8(text) : text, tail);
    if (plan.mails.empty()) return std::string();
    // The tail and the part label are ASCII.
    const std::string& title = plan.mails.back().subject;
    return kTitleStart + name + title.substr(std::min(title.size(), sizeof kTitleStart - 1 + name8.size()));
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

ForwardPlan planForward(const Settings& settings, const MessageEvent& event, ForwardText passed,
                        ToUtf8 toUtf8) {
    ForwardPlan plan;
    const std::string alertSubject =
        composeInto(plan, settings, passed.destination, event.name, passed.text, std::string(), toUtf8);
    // Nothing queued means nothing was forwarded: telling the sender
    // otherwise would report a failure as success.
    if (plan.mails.empty()) return plan;
    plan.destination = std::move(passed.destination);
    plan.raiseAlert = settings.showSystrayAlert;
    plan.alertText = alertTextFor(alertSubject);
    plan.sendReply = settings.replyEnabled && event.medium == kReplyMedium;
    return plan;
}

ForwardPlan planForward(const Settings& settings, const MessageEvent& event, ToUtf8 toUtf8) {
    std::optional<ForwardText> passed = filterForward(settings, event);
    if (!passed) return ForwardPlan();
    return planForward(settings, event, std::move(*passed), toUtf8);
}

ForwardPlan planGathered(const Settings& settings, const GatheredMessages& gathered, ToUtf8 toUtf8) {
    ForwardPlan plan;
    std::string destination = forwardDestination(settings);
    if (destination.empty() || gathered.texts.empty()) return plan;
    std::string text = gathered.texts.front();
    for (std::size_t i = 1; i < gathered.texts.size(); ++i) text += kGatheredLineEnd + gathered.texts[i];
    const std::size_t count = gathered.texts.size();
    const std::string tail =
        kGatheredCountStart + std::to_string(count) + (count == 1 ? kGatheredOneEnd : kGatheredCountEnd);
    composeInto(plan, settings, destination, gathered.name, text, tail, toUtf8);
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

std::vector<DeliveryJob> pushJobs(const Settings& settings, ForwardPlan& plan) {
    std::vector<DeliveryJob> jobs;
    jobs.reserve(plan.mails.size());
    for (ComposedMail& part : plan.mails) {
        jobs.emplace_back(PushJob{plan.destination, std::move(part.subject), std::move(part.body),
                                  settings.trustedCaFile},
                          settings.retryMinutes);
    }
    return jobs;
}

std::vector<DeliveryJob> jobsOf(const Settings& settings, ForwardPlan& plan) {
    return plan.push ? pushJobs(settings, plan) : mailJobs(settings, plan);
}

PushJob testPushJob(const Settings& settings) {
    return PushJob{settings.pushUrl, kTestPushTitle, kTestPushMessage, settings.trustedCaFile};
}
