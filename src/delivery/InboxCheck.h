#pragma once
#include <string>

#include "imap/ImapOptions.h"

class AbortSignal;

// One check of the IMAP server for "Check Inbox": a login and a SELECT, and
// what they found in words ("Logged in: the inbox holds 3 mails", "Inbox
// not read: ...").
std::string checkInbox(const ImapOptions& options, AbortSignal* abort);
