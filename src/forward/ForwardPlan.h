#pragma once
#include <optional>
#include <string>
#include <vector>

#include "forward/MessageComposer.h"
#include "delivery/DeliveryJob.h"
#include "mail/MailJob.h"
#include "push/PushJob.h"

struct GatheredMessages;
struct MessageEvent;
struct Settings;

// Text of the host turned into UTF-8 for a push service.
using ToUtf8 = std::string (*)(const std::string& text);

// What one broadcast message turns into. A message that is not forwarded,
// or whose mails come to nothing, has no mails, no alert and no reply.
struct ForwardPlan {
    std::string destination;          // the address, or for push the notification URL
    bool push = false;
    std::vector<ComposedMail> mails;  // in part order; for push the titles and messages in UTF-8
    bool raiseAlert = false;
    std::string alertText;
    bool sendReply = false;
};

// A message that passed the filters: its text without the trigger prefix,
// and where it goes.
struct ForwardText {
    std::string text;
    std::string destination;
};

// The filters (switch, exact type, trigger prefix) and the destination by
// "ForwardType"; none when the message is not forwarded.
std::optional<ForwardText> filterForward(const Settings& settings, const MessageEvent& event);

// The mails of a message that passed the filters, and whether the alert and
// the reply follow. For push ("ForwardType" 3, "Push URL") the name and
// text go through toUtf8 (as they are without one) and every part stays
// within the service's limit as well as "CharLimit"; even with "Char Limit
// Enabled" off, a message longer than the service takes is cut into at
// least one part.
ForwardPlan planForward(const Settings& settings, const MessageEvent& event, ForwardText passed,
                        ToUtf8 toUtf8 = nullptr);

// Both steps at once.
ForwardPlan planForward(const Settings& settings, const MessageEvent& event, ToUtf8 toUtf8 = nullptr);

// One forward of a contact's gathered messages, to the destination the
// settings give now: subject "IM: NAME (N messages)", each message on a
// line of its own, then split like any message. The first message of the
// cool-down had the alert and the reply; these have neither.
ForwardPlan planGathered(const Settings& settings, const GatheredMessages& gathered,
                         ToUtf8 toUtf8 = nullptr);

// The plan's mails as jobs for the queue, from "SMTP Server" and "From
// Address" to the plan's destination, each with the mail server's settings
// (the sender thread never reads the settings); the plan's mails are moved
// out.
std::vector<DeliveryJob> mailJobs(const Settings& settings, ForwardPlan& plan);

// The plan's parts as notifications to "Push URL"; the parts are moved out.
std::vector<DeliveryJob> pushJobs(const Settings& settings, ForwardPlan& plan);

// The plan's jobs of the transport it was made for.
std::vector<DeliveryJob> jobsOf(const Settings& settings, ForwardPlan& plan);

// One short notification to "Push URL", to try it.
PushJob testPushJob(const Settings& settings);

// One short mail to the destination the settings give, through their mail
// server, to try them; its recipient is empty when they give none.
MailJob testMailJob(const Settings& settings);

// "SMTP Port", "SMTP Security", "SMTP User", "SMTP Password" and "Trusted
// CA File" as the session takes them.
SmtpOptions smtpOptions(const Settings& settings);
