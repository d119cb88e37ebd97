#pragma once
#include <string>

#include "imap/ImapOptions.h"
#include "delivery/DeliveryJob.h"

// What the reply poller works with, copied from the settings on the host's
// thread: the poller never reads the settings.
struct ReplyConfig {
    bool on = false;
    ImapOptions imap;
    // The forward destination: only mail from this address can be an answer.
    std::string destination;
    // The mail server, sender and destination for the short notice that an
    // answer could not be delivered; subject and body are the poller's.
    DeliveryJob notice;
};
