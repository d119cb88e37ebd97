#pragma once
#include <string>

// What a server offers in its reply to EHLO (RFC 5321 4.1.1.1): one keyword
// a line after the first, with its parameters.
struct EhloCapabilities {
    bool startTls = false;      // STARTTLS (RFC 3207)
    bool eightBitMime = false;  // 8BITMIME (RFC 6152)
    bool authPlain = false;     // AUTH ... PLAIN ... (RFC 4954, RFC 4616)
    bool authLogin = false;     // AUTH ... LOGIN ...
};

// Reads the capabilities from a whole EHLO reply, every line with its CR LF
// (a bare LF is taken too). Keywords and mechanisms are matched without
// regard to case; the obsolete form "AUTH=LOGIN PLAIN" counts as AUTH. Lines
// that are not reply lines are ignored, and so is the first line, which
// names the server.
EhloCapabilities parseEhloReply(const std::string& reply);
