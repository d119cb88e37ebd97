#include <gtest/gtest.h>

#include "settings/SettingsValues.h"

using namespace SettingsValues;

TEST(SettingsValues, SwitchLooksOnlyAtTheFirstCharacter) {
    for (const char* on : {"1", "10", "1x", "1 "}) EXPECT_TRUE(parseSwitch(on)) << on;
    for (const char* off : {"0", "2", "true", "yes", "", " 1", "01"}) {
        EXPECT_FALSE(parseSwitch(off)) << off;
    }
}

TEST(SettingsValues, NumbersReadLikeAtoi) {
    EXPECT_EQ(parseNumber("120"), 120);
    EXPECT_EQ(parseNumber("-5"), -5);
    EXPECT_EQ(parseNumber("+8"), 8);
    EXPECT_EQ(parseNumber("12abc"), 12);
    EXPECT_EQ(parseNumber("abc"), 0);
    EXPECT_EQ(parseNumber(""), 0);
    EXPECT_EQ(parseNumber("-"), 0);
    EXPECT_EQ(parseNumber("- 5"), 0);
    EXPECT_EQ(parseNumber(" \t 42"), 42);
    EXPECT_EQ(parseNumber("007"), 7);
    EXPECT_EQ(parseNumber("3.9"), 3);
    EXPECT_EQ(parseNumber("2147483647"), 2147483647);
    EXPECT_EQ(parseNumber("-2147483648"), INT32_MIN);
}

TEST(SettingsValues, OverflowWrapsInsteadOfBeingUndefined) {
    EXPECT_EQ(parseNumber("2147483648"), INT32_MIN);
    EXPECT_EQ(parseNumber("4294967297"), 1);
    // 99999999999999999999 modulo 2^32.
    EXPECT_EQ(parseNumber("99999999999999999999"), 1661992959);
    EXPECT_EQ(parseNumber("-4294967295"), 1);
}

TEST(SettingsValues, StoredForms) {
    EXPECT_EQ(formatSwitch(true), "1");
    EXPECT_EQ(formatSwitch(false), "0");
    EXPECT_EQ(formatNumber(-5), "-5");
    EXPECT_EQ(formatNumber(0), "0");
    EXPECT_EQ(formatNumber(INT32_MIN), "-2147483648");
    EXPECT_EQ(formatText("a = b ; [c]"), "a = b ; [c]");
}

TEST(SettingsValues, StoredTextsStayOnOneLine) {
    EXPECT_EQ(formatText("one\r\n[Other]\nkey=value\r"), "one  [Other] key=value ");
    EXPECT_EQ(formatText(""), "");
}
