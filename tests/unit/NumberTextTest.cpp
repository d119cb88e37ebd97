#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <string>

#include "text/NumberText.h"

// The printf family is the reference the digits replace.
TEST(NumberText, WritesWhatPrintfWrites) {
    const int64_t decimals[] = {0, 7, -7, 2026, -2026, 123456, INT64_MAX, INT64_MIN};
    const uint64_t hexes[] = {0, 0xa, 0xdeadbeef, 0x18c4f2a9b10, UINT64_MAX};
    for (const int width : {1, 2, 4, 8}) {
        char expected[64];
        for (const int64_t value : decimals) {
            std::snprintf(expected, sizeof expected, "%0*" PRId64, width, value);
            std::string out = "x";
            NumberText::appendDecimal(out, value, width);
            EXPECT_EQ(out, std::string("x") + expected) << value << " width " << width;
        }
        for (const uint64_t value : hexes) {
            std::snprintf(expected, sizeof expected, "%0*" PRIx64, width, value);
            std::string out;
            NumberText::appendHex(out, value, width);
            EXPECT_EQ(out, expected) << value << " width " << width;
        }
    }
}
