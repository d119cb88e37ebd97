#include "mail/SmtpTimeLimits.h"

#include <algorithm>

SmtpTimeLimits SmtpTimeLimits::atMost(uint32_t ms) const {
    SmtpTimeLimits cut = *this;
    for (uint32_t* limit : {&cut.greetingMs, &cut.mailFromMs, &cut.recipientMs, &cut.dataMs, &cut.dataBlockMs,
                            &cut.endOfDataMs, &cut.commandMs, &cut.net.connectMs, &cut.net.tlsHandshakeMs}) {
        *limit = std::min(*limit, ms);
    }
    return cut;
}
