#pragma once
#include <cstdint>
#include <string>

// The Message-ID of a mail: unique through the time, a running number of
// this process and a random number, at the sender's domain, as in
// "<18c4f1e2a3b.7.5f3a9c01@example.org>".
std::string formatMessageId(uint64_t milliseconds, uint32_t counter, uint32_t random,
                            const std::string& domain);
