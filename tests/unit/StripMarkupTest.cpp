#include <gtest/gtest.h>

#include "forward/StripMarkup.h"

TEST(StripMarkup, DropsTagsAndKeepsEverythingElse) {
    EXPECT_EQ(stripMarkup("<html><body>see <b>you</b> at 5 > 4</body></html>"), "see you at 5 > 4");
    EXPECT_EQ(stripMarkup("1 < 2 ok"), "1 ");
    EXPECT_EQ(stripMarkup("a<b"), "a");
    EXPECT_EQ(stripMarkup("<b></b>"), "");
    EXPECT_EQ(stripMarkup("fish &amp; chips"), "fish &amp; chips");
    EXPECT_EQ(stripMarkup("  no tags >> here\t"), "  no tags >> here\t");
    EXPECT_EQ(stripMarkup("<a href=\"x>y\">link</a>"), "y\">link");
    EXPECT_EQ(stripMarkup(""), "");
}
