#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "delivery/FailureSink.h"
#include "mail/SmtpOutcome.h"

// Failed attempts in words for the user.
namespace FailureText {

// What went wrong, for example "smtp.example.com refused the login (535)" or
// "could not connect to smtp.example.com:587 (connection refused)".
std::string describe(const std::string& server, unsigned port, const SmtpOutcome& outcome);

// The systray alert for an attempt that failed, for example
// "IM: mail not sent: smtp.example.com refused the login (535); 3 mails dropped".
std::string alert(const std::string& server, unsigned port, const SmtpOutcome& outcome,
                  std::size_t mailsDropped);

// The systray alert for any failed attempt, in the words of its transport:
// "IM: push not sent: api.telegram.org answered 400 (Bad Request: chat not
// found); 1 message dropped", or for kept mails dropped after retrying
// "IM: mail not sent: 3 mails dropped after 30 minutes of retrying".
std::string alert(const FailedAttempt& attempt);

// What became of a test mail: "Sent: 250 2.0.0 Ok", or "Not sent: " and
// what went wrong.
std::string testMailResult(const std::string& server, unsigned port, const SmtpOutcome& outcome);

}  // namespace FailureText
