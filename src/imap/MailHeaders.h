#pragma once
#include <string>
#include <vector>

// The header fields a reply is recognised by (RFC 5322 3.6), read from a
// mail's header section as the server gives it.
namespace MailHeaders {

// The header section: everything before the first empty line.
std::string headerSection(const std::string& mail);
// The first field of that name (any case), unfolded (RFC 5322 2.2.3),
// without the name and the colon, trimmed; empty when there is none.
std::string field(const std::string& headers, const std::string& name);
// The address of a From value: what stands in the last "<...>", else the
// value without comments; trimmed.
std::string address(const std::string& from);
// Every "<...>" message identifier of an In-Reply-To or References value,
// brackets included, in order.
std::vector<std::string> messageIds(const std::string& value);
// ASCII letters compared without case; every other byte as it is.
bool sameAddress(const std::string& a, const std::string& b);

}  // namespace MailHeaders
