#pragma once
#include <string>
#include <vector>

#include "forward/MessageComposer.h"
#include "delivery/DeliveryJob.h"
#include "mail/MailJob.h"

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

// The filters (switch, exact type, trigger prefix), the destination by
// "ForwardType", the mails, and whether the alert and the reply follow.
ForwardPlan planForward(const Settings& settings, const MessageEvent& event);

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
