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
