#include <gtest/gtest.h>

#include "mail/SmtpReply.h"

TEST(SmtpReply, CompleteOnlyAfterTheLastLineOfAReply) {
    EXPECT_TRUE(SmtpReply::complete("220 ready\r\n"));
    EXPECT_TRUE(SmtpReply::complete("250-first\r\n250-second\r\n250 last\r\n"));
    EXPECT_TRUE(SmtpReply::complete("250\r\n"));
    EXPECT_TRUE(SmtpReply::complete("no code at all\n"));

    EXPECT_FALSE(SmtpReply::complete(""));
    EXPECT_FALSE(SmtpReply::complete("220 rea"));
    EXPECT_FALSE(SmtpReply::complete("220 ready\r"));
    EXPECT_FALSE(SmtpReply::complete("250-first\r\n"));
    EXPECT_FALSE(SmtpReply::complete("250-first\r\n250-second\r\n"));
    EXPECT_FALSE(SmtpReply::complete("250-first\r\n250 la"));
}

// The session keeps only what pending() leaves between receives; cut
// anywhere, a reply must still end exactly where it ends.
TEST(SmtpReply, PendingKeepsWhatTellsWhereAReplyEnds) {
    const std::string reply = "250-" + std::string(100000, 'x') + "\r\n250-\n250 last\r\n";
    for (size_t cut = 0; cut < reply.size(); cut += cut < 20 || reply.size() - cut < 30 ? 1 : 997) {
        SCOPED_TRACE(cut);
        std::string kept = SmtpReply::pending(reply.substr(0, cut));
        EXPECT_LE(kept.size(), SmtpReply::kHeadLength);
        EXPECT_FALSE(SmtpReply::complete(kept + reply.substr(cut, reply.size() - cut - 1)));
        EXPECT_TRUE(SmtpReply::complete(kept + reply.substr(cut)));
    }
}
