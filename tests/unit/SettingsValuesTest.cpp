#include <gtest/gtest.h>

#include "settings/SettingsValues.h"

using namespace SettingsValues;

TEST(SettingsValues, SwitchLooksOnlyAtTheFirstCharacter) {
    for (const char* on : {"1", "10", "1x", "1 "}) EXPECT_TRUE(parseSwitch(on)) << on;
    for (const char* off : {"0", "2", "true", "yes", "", " 1", "01"}) EXPECT_FALSE(parseSwitch(off)) << off;
}

// As atoi reads them, except that an overflow wraps modulo 2^32 instead of
// being undefined.
TEST(SettingsValues, NumbersReadLikeAtoiAndWrap) {
    const struct {
        const char* stored;
        int32_t value;
    } cases[] = {
        {"120", 120}, {"-5", -5}, {"+8", 8}, {"12abc", 12}, {"abc", 0}, {"", 0}, {"-", 0}, {"- 5", 0},
        {" \t 42", 42}, {"007", 7}, {"3.9", 3}, {"2147483647", 2147483647}, {"-2147483648", INT32_MIN},
        {"2147483648", INT32_MIN}, {"4294967297", 1}, {"99999999999999999999", 1661992959},
        {"-4294967295", 1},
    };
    for (const auto& test : cases) EXPECT_EQ(parseNumber(test.stored), test.value) << test.stored;
}
