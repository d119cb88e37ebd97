#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

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

// The systray alert for kept mails dropped after retrying, for example
// "IM: mail not sent: 3 mails dropped after 30 minutes of retrying".
std::string retriesEnded(std::size_t mailsDropped, int32_t retriedMinutes);

// What became of a test mail: "Sent: 250 2.0.0 Ok", or "Not sent: " and
// what went wrong.
std::string testMailResult(const std::string& server, unsigned port, const SmtpOutcome& outcome);

}  // namespace FailureText
