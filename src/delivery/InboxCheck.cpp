#include "delivery/InboxCheck.h"

#include <cstdint>

#include "imap/ImapSession.h"

namespace {

std::string where(const ImapOptions& options) {
    return options.server + ":" + std::to_string(imapPortToUse(options));
}

}  // namespace

std::string checkInbox(const ImapOptions& options, AbortSignal* abort) {
    ImapSession session(abort);
    ImapOutcome outcome = session.open(options);
    uint32_t mails = 0;
    if (outcome.succeeded) outcome = session.selectInbox(mails);
    session.close();
    if (!outcome.succeeded) {
        return "Inbox not read: " + where(options) + " at " + imapStageName(outcome.stage) +
               (outcome.detail.empty() ? std::string() : ": " + outcome.detail);
    }
    return "Logged in: the inbox holds " + std::to_string(mails) + (mails == 1 ? " mail" : " mails");
}
