#pragma once
#include <cstddef>
#include <string>

// Where one server reply ends. A reply is read whole before the client sends
// its next piece, however many receives it takes, so the client never runs
// ahead of the server. Only the reply to DATA is looked at.
namespace SmtpReply {

// Enough for any sane reply; a server that talks on and on is not followed.
const std::size_t kMaxBytes = 64 * 1024;

// True when the received bytes end with a line that ends in LF and is not a
// continuation line ("250-...").
bool complete(const std::string& received);

// True when the reply is an intermediate one ("354 ..."), the only answer to
// DATA after which the mail data may be sent.
bool invitesData(const std::string& reply);

}  // namespace SmtpReply
