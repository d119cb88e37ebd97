#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "TestHost.h"

namespace {

const char kIdentity[] = "5A1E7C24-90D3-4b7f-8C26-D1F04A9B3E65";

// The text in a fixed field, and whether the rest of the field is zero.
template <size_t N>
bool fieldHolds(const char (&field)[N], const char* text) {
    const size_t length = std::strlen(text);
    if (std::memcmp(field, text, length) != 0) return false;
    for (size_t i = length; i < N; ++i) {
        if (field[i] != 0) return false;
    }
    return true;
}

}  // namespace

TEST(Load, FillsTheLoadRecordAndSendsNothing) {
    TestHost host;
    EXPECT_EQ(host.version(), 1);
    EXPECT_EQ(host.load(), 0);

    const PluginInfoRecord& info = host.info();
    EXPECT_TRUE(fieldHolds(info.identity, kIdentity));
    EXPECT_TRUE(fieldHolds(info.name, "IM Tolvaning Plugin"));
    EXPECT_TRUE(fieldHolds(info.version, "1.1"));
    EXPECT_TRUE(fieldHolds(info.description, "Forwards IMs to an email address or mobile phone."));
    const size_t authorLength = strnlen(info.author, sizeof info.author);
    EXPECT_GT(authorLength, 0u);
    EXPECT_LT(authorLength, sizeof info.author);
    EXPECT_TRUE(host.requests().empty());
}
