#include <gtest/gtest.h>

#include <string>

#include "text/PlainText.h"

// Bytes that a code page or locale may call digits ("\xb2" is a superscript
// two in windows-1252) stay non-digits.
TEST(PlainText, OnlyTheTenAsciiDigitsAreDigits) {
    const std::string digits = "0123456789";
    const std::string others = std::string("/:aO ") + '\0' + "\xb2\xb9\xbd\xff\xb0";
    for (char c : digits) EXPECT_TRUE(PlainText::isDigit(c)) << int(c);
    for (char c : others) EXPECT_FALSE(PlainText::isDigit(c)) << int(c);
}

TEST(PlainText, SingleLineTurnsEachCrAndLfIntoOneBlank) {
    EXPECT_EQ(PlainText::singleLine("a\r\nb\rc\n"), "a  b c ");
    const std::string kept = std::string("x\t\xe9\x85") + '\0' + "y";
    EXPECT_EQ(PlainText::singleLine(kept), kept);
}
