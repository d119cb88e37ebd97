#pragma once
#include "delivery/ReplyConfig.h"

struct Settings;

// Replies from the phone are on when an "IMAP Server" is set, mail goes to
// an address or a phone ("ForwardType" 1 or 2), and "SMTP Security" is
// STARTTLS or TLS: plain mail carries no Message-ID to answer.
bool repliesOn(const Settings& settings);

// The poller's copy of the settings; `on` as repliesOn says.
ReplyConfig replyConfig(const Settings& settings);
