#pragma once
#include <string>

#include "delivery/DeliveryOutcome.h"
#include "mail/SmtpOutcome.h"

// The SMTP client's outcomes as the sender thread acts on them, with the
// words of the delivery log and of the alert.
namespace MailOutcome {

// A connection that could not be opened keeps its mails, unless the server
// refused it for good (a 5xx reply, such as a login it will never accept).
DeliveryOutcome opened(const std::string& server, unsigned port, const SmtpOutcome& outcome);
// A mail is kept only after a 4xx reply to MAIL, RCPT, DATA or the end of
// data: the server may take it later.
DeliveryOutcome sent(const std::string& server, unsigned port, const SmtpOutcome& outcome);

}  // namespace MailOutcome
