#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "push/FormEncoding.h"
#include "push/HttpResponse.h"
#include "push/JsonText.h"
#include "push/PushRequest.h"
#include "push/PushUrl.h"

namespace {

bool formSafe(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '*' ||
           c == '-' || c == '.' || c == '_' || c == '+' || c == '%' || c == '=' || c == '&';
}

}  // namespace

// Whatever a user types or a server answers: a URL is read or refused
// without naming its secrets, a value escaped into JSON reads back as it
// was, a form carries no byte that could end its field, and an answer cut
// short is never taken for a longer one.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string value = input.ConsumeRandomLengthString(200);
    const std::string url = input.ConsumeRandomLengthString(200);
    const std::string answer = input.ConsumeRemainingBytesAsString();

    const PushUrlParse parsed = parsePushUrl(url);
    FUZZ_REQUIRE(parsed.target.has_value() == parsed.refusal.empty());
    if (parsed.target) {
        const PushTarget& target = *parsed.target;
        FUZZ_REQUIRE(!target.host.empty() && target.port > 0 && target.port <= 65535);
        FUZZ_REQUIRE(target.tls || (target.token.empty() && target.password.empty()));
        const HttpRequest request = pushRequest(target, value, value);
        FUZZ_REQUIRE(requestBytes(request).find("\r\n\r\n") != std::string::npos);
    }

    FUZZ_REQUIRE(JsonText::memberText("{\"a\":1,\"m\":" + JsonText::quoted(value) + "}", "m") == value);
    for (char c : formEncoded({{value, value}})) FUZZ_REQUIRE(formSafe(c));

    const HttpResponse whole = parseHttpResponse(answer, true);
    if (whole.state == HttpResponse::State::Complete) {
        FUZZ_REQUIRE(whole.body.size() <= HttpLimits::kMaxBodyKept);
    }
    parseHttpResponse(answer, false);
    JsonText::memberText(answer, "description");
    return 0;
}
