#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "mail/EhloCapabilities.h"

namespace {

const char* const kNoise[] = {"SIZE 10240000", "PIPELINING", "AUTH CRAM-MD5", "AUTH", "8BITMIMEX",
                              "X-STARTTLS", "ENHANCEDSTATUSCODES", "AUTH=CRAM-MD5", "", "HELP"};

// The keyword in a letter case chosen by the input.
std::string anyCase(FuzzedDataProvider& input, std::string word) {
    for (char& c : word) {
        if (c >= 'A' && c <= 'Z' && input.ConsumeBool()) c = static_cast<char>(c - 'A' + 'a');
    }
    return word;
}

std::string lineEnd(FuzzedDataProvider& input) { return input.ConsumeBool() ? "\r\n" : "\n"; }

}  // namespace

// Whatever a server sends, parsing ends; and in a well-formed reply exactly
// the keywords offered after the first line are found, in any letter case,
// among lines that only look like them.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    parseEhloReply(std::string(reinterpret_cast<const char*>(data), size));

    FuzzedDataProvider input(data, size);
    EhloCapabilities offered;
    offered.startTls = input.ConsumeBool();
    offered.eightBitMime = input.ConsumeBool();
    offered.authPlain = input.ConsumeBool();
    offered.authLogin = input.ConsumeBool();
    const bool obsoleteAuth = input.ConsumeBool();

    std::string lines[8];
    size_t count = 0;
    if (offered.startTls) lines[count++] = anyCase(input, "STARTTLS");
    if (offered.eightBitMime) lines[count++] = anyCase(input, "8BITMIME");
    std::string mechanisms = "CRAM-MD5";
    if (offered.authPlain) mechanisms += " " + anyCase(input, "PLAIN");
    if (offered.authLogin) mechanisms += " " + anyCase(input, "LOGIN");
    if (offered.authPlain || offered.authLogin) {
        lines[count++] = obsoleteAuth ? "AUTH=" + mechanisms : anyCase(input, "AUTH") + " " + mechanisms;
    }
    const size_t noise = input.ConsumeIntegralInRange<size_t>(0, 3);
    for (size_t i = 0; i < noise; ++i) {
        lines[count++] = kNoise[input.ConsumeIntegralInRange<size_t>(0, sizeof kNoise / sizeof kNoise[0] - 1)];
    }

    // The first line names the server; a keyword there offers nothing.
    std::string reply = "250" + std::string(count > 0 ? "-" : " ") + "mx STARTTLS 8BITMIME" + lineEnd(input);
    for (size_t i = 0; i < count; ++i) {
        reply += "250" + std::string(i + 1 < count ? "-" : " ") + lines[i] + lineEnd(input);
    }
    const EhloCapabilities found = parseEhloReply(reply);
    FUZZ_REQUIRE(found.startTls == offered.startTls);
    FUZZ_REQUIRE(found.eightBitMime == offered.eightBitMime);
    FUZZ_REQUIRE(found.authPlain == offered.authPlain);
    FUZZ_REQUIRE(found.authLogin == offered.authLogin);
    return 0;
}
