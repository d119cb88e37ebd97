#pragma once
#include <cstddef>
#include <string>

// Where one server reply ends. A reply is read whole before the client sends
// its next piece, however many receives it takes, so the client never runs
// ahead of the server. Only the reply to DATA is looked at.
namespace SmtpReply {

// A reply's code and the "-" or blank after it.
const std::size_t kHeadLength = 4;

// True when the received bytes end with a line that ends in LF and is not a
// continuation line ("250-...").
bool complete(const std::string& received);

// What of an incomplete reply must be kept to tell, once more bytes arrive,
// where it ends: the head of its unfinished last line. complete() of this
// followed by the next bytes equals complete() of everything, so a reply of
// any length is followed to its end in little memory.
std::string pending(const std::string& received);

// True when the reply is an intermediate one ("354 ..."), the only answer to
// DATA after which the mail data may be sent.
bool invitesData(const std::string& reply);

}  // namespace SmtpReply
