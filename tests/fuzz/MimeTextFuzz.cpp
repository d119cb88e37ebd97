#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "imap/MailHeaders.h"
#include "imap/MimeText.h"
#include "imap/ReplyText.h"

// Whatever a mail holds, its text is found without fault, and the answer
// made of it stays within its limit and holds no quoted line.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string mail(reinterpret_cast<const char*>(data), size);
    const MimeText text = readableText(mail);
    const std::string answer = ReplyText::clean(text.text);
    FUZZ_REQUIRE(answer.size() <= ReplyText::kMaxBytes);
    FUZZ_REQUIRE(!startsWith(answer, ">") && answer.find("\n>") == std::string::npos);
    const std::string headers = MailHeaders::headerSection(mail);
    MailHeaders::address(MailHeaders::field(headers, "From"));
    for (const std::string& id : MailHeaders::messageIds(MailHeaders::field(headers, "References"))) {
        FUZZ_REQUIRE(id.size() >= 2 && id.front() == '<' && id.back() == '>');
    }
    return 0;
}
