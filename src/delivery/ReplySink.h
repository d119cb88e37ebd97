#pragma once
#include <string>

#include "delivery/ReplyBook.h"

// An answer from the phone, ready to go to the contact as an IM.
struct ReplyDelivery {
    ReplyTarget target;
    std::string text;  // in the system code page, cleaned
};

// Takes what the reply poller has for the host, on the poller's thread;
// never calls the host itself.
class ReplySink {
public:
    virtual ~ReplySink() = default;
    // False when it cannot be taken now; the answer is then tried again on
    // a later pass.
    virtual bool replyReady(ReplyDelivery reply) = 0;
    // Polling cannot go on without the user: the login was refused or the
    // certificate not trusted. Told once until a login succeeds again.
    virtual void pollingRefused(std::string alertText) = 0;
};
