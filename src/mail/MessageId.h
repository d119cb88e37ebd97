#pragma once
#include <cstdint>
#include <string>

// The random part of a Message-ID: 96 bits, enough that nobody can guess
// the ID of a forwarded mail and answer as if to it.
struct MessageIdRandom {
    uint32_t words[3] = {0, 0, 0};
};

// The Message-ID of a mail: unique through the time, a running number of
// this process and a random number, at the sender's domain, as in
// "<18c4f1e2a3b.7.5f3a9c0100c0ffee12345678@example.org>".
std::string formatMessageId(uint64_t milliseconds, uint32_t counter, const MessageIdRandom& random,
                            const std::string& domain);

// Whether the ID has the form formatMessageId gives, at any domain: what
// an answer to one of this plug-in's mails names.
bool isOwnMessageId(const std::string& id);
