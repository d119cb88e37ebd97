#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "IniFile.h"
#include "MailLab.h"
#include "TempDir.h"
#include "delivery/MailQueue.h"
#include "delivery/ReplyBook.h"
#include "delivery/ReplyPoller.h"
#include "delivery/ReplySink.h"

namespace {

class CountingSink : public ReplySink {
public:
    bool replyReady(ReplyDelivery) override { return true; }
    void pollingRefused(std::string text) override {
        last = text;
        ++refusals;
    }
    std::atomic<int> refusals{0};
    std::string last;
};

}  // namespace

// A wrong password is told once, and logged once, however often the poller
// tries again.
TEST(ReplyPoller, ARefusedLoginIsToldOnceAndBacksOff) {
    MailLab lab;
    const ImapLabServer imap = lab.startImap();
    TempDir logDirectory;
    ReplyBook book;
    MailQueue queue("tolvane-reply-poller-test");
    CountingSink sink;
    ReplyConfig config;
    config.on = true;
    config.imap.server = kTlsServerName;
    config.imap.port = imap.server.port;
    config.imap.user = imap.user;
    config.imap.password = "wrong";
    config.imap.trustedCaFile = lab.caFile();
    config.destination = "pager@example.net";
    ReplyPoller poller(book, queue);
    ReplyTiming timing;
    timing.pollMs = 100;
    timing.longestBackoffMs = 400;
    poller.setTiming(timing);
    poller.start(config, logDirectory.path(), &sink);
    // Dovecot answers each further refusal from the address later than the
    // one before, so three take some seconds.
    EXPECT_TRUE(waitUntil([&] { return lab.imapLogins(imap) >= 3; }, 20000));
    poller.stop();
    lab.stop(imap.server);
    EXPECT_EQ(sink.refusals, 1);
    EXPECT_EQ(sink.last, "IM: replies not read: the IMAP server refused the login");
    const std::string log = IniFile(logDirectory.file("IMTolvane.log")).text();
    EXPECT_EQ(occurrences(log, "replies not read at LOGIN"), 1u) << log;
}
