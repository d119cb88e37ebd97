#pragma once
#include <cstdint>

#include "net/NetLimits.h"

// How long the SMTP client waits on the server at each step, in
// milliseconds: at least what RFC 5321 4.5.3.2 asks of a client, so that a
// slow server is never given up on too early, and a silent one is.
struct SmtpTimeLimits {
    static constexpr uint32_t kMinuteMs = 60 * 1000;

    uint32_t greetingMs = 5 * kMinuteMs;     // 4.5.3.2.1: the initial 220
    uint32_t mailFromMs = 5 * kMinuteMs;     // 4.5.3.2.2: MAIL
    uint32_t recipientMs = 5 * kMinuteMs;    // 4.5.3.2.3: RCPT
    uint32_t dataMs = 2 * kMinuteMs;         // 4.5.3.2.4: DATA up to its 354
    uint32_t dataBlockMs = 3 * kMinuteMs;    // 4.5.3.2.5: each block of the data
    uint32_t endOfDataMs = 10 * kMinuteMs;   // 4.5.3.2.6: the reply to the final "."
    // EHLO, STARTTLS, AUTH, RSET and QUIT, for which the RFC names none: as
    // for MAIL.
    uint32_t commandMs = 5 * kMinuteMs;
    NetLimits net;

    // Every limit cut to at most that long.
    SmtpTimeLimits atMost(uint32_t ms) const;
};
