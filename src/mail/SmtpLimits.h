#pragma once
#include <cstddef>

// The protocol's size limits, each with the rule of RFC 5321 that sets it.
namespace SmtpLimits {

// 4.5.3.1.2: a domain name is at most 255 octets.
const std::size_t kMaxDomain = 255;
// 4.5.3.1.4: a command line is at most 512 octets including its CR LF.
const std::size_t kMaxCommandLine = 512;
// 4.5.3.1.5: a reply line is at most 512 octets including its CR LF.
const std::size_t kMaxReplyLine = 512;
// 4.5.3.1.6: a line of mail data is at most 1000 octets including its CR LF.
const std::size_t kMaxDataLine = 998;
// 4.2: a reply code is three digits, then "-" (more lines follow) or a blank.
const std::size_t kReplyCodeLength = 3;
// 4.5.3.1.5 gives no limit to the number of lines of a reply: an EHLO reply
// is kept up to this many lines, far more than any server's capabilities.
const std::size_t kMaxEhloLinesKept = 64;

}  // namespace SmtpLimits
