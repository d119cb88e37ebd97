#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "mail/MailDate.h"
#include "delivery/DeliveryOutcome.h"

// The lines of the delivery log, one per connection attempt and one per
// mail, each without its line end:
//   2026-12-09 12:45:03 UTC | smtp.example.com:25 | - | connected | 250 | mx ready
//   2026-12-09 12:45:04 UTC | smtp.example.com:25 | me@example.net | not sent at RCPT | 550 | no such user
// A line names the server and the recipient but never a mail's subject or
// text. Every field is one line, so a server's reply cannot forge a line.
namespace DeliveryLogLine {

// A connection that was opened, with the last reply of its opening.
std::string connected(const MailTime& time, const std::string& server, unsigned port,
                      const DeliveryOutcome& outcome);
// A connection that could not be opened, and the mails dropped with it.
std::string notConnected(const MailTime& time, const std::string& server, unsigned port,
                         const DeliveryOutcome& outcome, std::size_t mailsDropped);

std::string mail(const MailTime& time, const std::string& server, unsigned port,
                 const std::string& recipient, const DeliveryOutcome& outcome);

// Kept mails dropped after retrying so many minutes.
std::string retriesEnded(const MailTime& time, const std::string& server, unsigned port,
                         std::size_t mailsDropped, int32_t retriedMinutes);
// Mails still waiting at unload, dropped with the plug-in.
std::string droppedAtUnload(const MailTime& time, std::size_t mailsDropped);
// Messages gathered during a cool-down, not yet made into a mail at unload.
std::string gatheredDroppedAtUnload(const MailTime& time, std::size_t messagesDropped);

}  // namespace DeliveryLogLine
