#include <gtest/gtest.h>

#include "mail/MailDate.h"

TEST(MailDate, InternetMessageFormatWithTheRightWeekday) {
    EXPECT_EQ(formatMailDate({2026, 12, 9, 5, 51, 3}), "Wed, 09 Dec 2026 05:51:03 +0000");
    EXPECT_EQ(formatMailDate({2000, 2, 29, 23, 59, 59}), "Tue, 29 Feb 2000 23:59:59 +0000");
    EXPECT_EQ(formatMailDate({2024, 1, 1, 0, 0, 0}), "Mon, 01 Jan 2024 00:00:00 +0000");
    EXPECT_EQ(formatMailDate({1999, 12, 31, 12, 5, 9}), "Fri, 31 Dec 1999 12:05:09 +0000");
    EXPECT_EQ(formatMailDate({2100, 3, 1, 7, 0, 0}), "Mon, 01 Mar 2100 07:00:00 +0000");
}
