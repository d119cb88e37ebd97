#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "imap/ImapReader.h"

// Reading the few responses the client acts on (RFC 3501 7), and writing
// the arguments of its commands (RFC 3501 4). Everything else a server
// sends is skipped by the client, so nothing here fails on it.
namespace ImapSyntax {

// "+ ..." : the server waits for more of the command.
bool isContinuation(const ImapResponse& response);
// The tagged completion of the command with this tag.
bool isTagged(const ImapResponse& response, const std::string& tag);
// The response's status word in upper case: "OK", "NO", "BAD", "BYE",
// "PREAUTH", or for untagged data its name ("CAPABILITY", "SEARCH",
// "EXISTS", "FETCH", ...).
std::string statusWord(const ImapResponse& response);
// The text after the status (and after a "[...]" code), for a log line.
std::string statusText(const ImapResponse& response);

// The capabilities of "* CAPABILITY ..." or of a "[CAPABILITY ...]" code,
// in upper case; empty when the response carries none.
std::vector<std::string> capabilities(const ImapResponse& response);
bool has(const std::vector<std::string>& capabilities, const std::string& name);

// The numbers of "* SEARCH ..."; false for any other response.
bool searchResult(const ImapResponse& response, std::vector<uint32_t>& uids);
// The number of "* n EXISTS"; false for any other response.
bool existsCount(const ImapResponse& response, uint32_t& count);

// What a "* n FETCH (...)" carries of the items the client asks for: the
// UID, and the data of the first BODY[...] item (a literal, a quoted string
// or NIL).
struct Fetched {
    uint32_t uid = 0;
    bool hasBody = false;
    std::string body;
    bool oversized = false;  // the body was larger than the reader keeps
};
bool fetched(const ImapResponse& response, Fetched& out);

// An argument as a quoted string, or empty when it cannot be one (a line
// end, a NUL, a byte above 127) and must go as a literal.
std::string quoted(const std::string& text);
// "4,8,15" for the UIDs in their order.
std::string uidSet(const std::vector<uint32_t>& uids);

}  // namespace ImapSyntax
