#pragma once
#include <optional>
#include <string>
#include <vector>

#include "forward/MessageComposer.h"
#include "delivery/DeliveryJob.h"
#include "mail/MailJob.h"

struct GatheredMessages;
struct MessageEvent;
struct Settings;

// What one broadcast message turns into. A message that is not forwarded,
// or whose mails come to nothing, has no mails, no alert and no reply.
struct ForwardPlan {
    std::string destination;
    std::vector<ComposedMail> mails;  // in part order
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
// the reply follow.
ForwardPlan planForward(const Settings& settings, const MessageEvent& event, ForwardText passed);

// Both steps at once.
ForwardPlan planForward(const Settings& settings, const MessageEvent& event);

// One forward of a contact's gathered messages, to the destination the
// settings give now: subject "IM: NAME (N messages)", each message on a
// line of its own, then split like any message. The first message of the
// cool-down had the alert and the reply; these have neither.
ForwardPlan planGathered(const Settings& settings, const GatheredMessages& gathered);

// The plan's mails as jobs for the queue, from "SMTP Server" and "From
// Address" to the plan's destination, each with the mail server's settings
// (the sender thread never reads the settings); the plan's mails are moved
// out.
std::vector<DeliveryJob> mailJobs(const Settings& settings, ForwardPlan& plan);

// One short mail to the destination the settings give, through their mail
// server, to try them; its recipient is empty when they give none.
MailJob testMailJob(const Settings& settings);

// "SMTP Port", "SMTP Security", "SMTP User", "SMTP Password" and "Trusted
// CA File" as the session takes them.
SmtpOptions smtpOptions(const Settings& settings);
