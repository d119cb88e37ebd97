#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "mail/SmtpReply.h"

namespace {

std::string oneLineOf(FuzzedDataProvider& input) {
    std::string text = input.ConsumeRandomLengthString(80);
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return text;
}

// A reply as a server writes it: "ddd-" lines, then one "ddd " line, each
// ended by CR LF or by a bare LF.
std::string pickReply(FuzzedDataProvider& input, const std::string& code) {
    const size_t continuations = input.ConsumeIntegralInRange(0, 4);
    std::string reply;
    for (size_t i = 0; i <= continuations; ++i) {
        reply += code + (i < continuations ? "-" : " ") + oneLineOf(input);
        reply += input.ConsumeBool() ? "\r\n" : "\n";
    }
    return reply;
}

}  // namespace

// However the reply is cut into receives, it is complete only once its last
// line has arrived whole: never earlier, and always then.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SmtpReply::complete(std::string(reinterpret_cast<const char*>(data), size));

    FuzzedDataProvider input(data, size);
    const std::string code = std::to_string(input.ConsumeIntegralInRange(200, 599));
    const std::string reply = pickReply(input, code);
    for (size_t length = 0; length < reply.size(); ++length) {
        FUZZ_REQUIRE(!SmtpReply::complete(reply.substr(0, length)));
    }
    FUZZ_REQUIRE(SmtpReply::complete(reply));
    // Only an intermediate reply, such as 354 to DATA, lets the data go.
    FUZZ_REQUIRE(SmtpReply::invitesData(reply) == (code[0] == '3'));
    return 0;
}
