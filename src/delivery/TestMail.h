#pragma once
#include <string>

#include "mail/MailJob.h"
#include "push/PushJob.h"

class AbortSignal;

// One test mail or test notification, as the dialog's button sends it: what
// became of it in words ("Sent: 250 2.0.0 Ok", "Not sent: ...").
std::string sendTestMail(const MailJob& job, AbortSignal* abort);
std::string sendTestPush(const PushJob& job, AbortSignal* abort);
