#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "forward/StripMarkup.h"

namespace {

std::string without(std::string text, char dropped) {
    text.erase(std::remove(text.begin(), text.end(), dropped), text.end());
    return text;
}

// Whatever arrives, the result only ever loses characters, and holds no
// "<" that could open a tag for a later reader.
void checkAnyText(const std::string& text) {
    const std::string plain = stripMarkup(text);
    FUZZ_REQUIRE(plain.size() <= text.size());
    FUZZ_REQUIRE(plain.find('<') == std::string::npos);
    FUZZ_REQUIRE(isSubsequence(plain, text));
    FUZZ_REQUIRE(stripMarkup(plain) == plain);
}

// A tag put anywhere into plain text leaves nothing of itself behind, not
// even a ">" of its own, and takes nothing of the text with it.
void checkInsertedTag(const std::string& plainPart, const std::string& tagPart, size_t at) {
    const std::string plain = without(plainPart, '<');
    const std::string tag = "<" + without(tagPart, '>') + ">";
    at = std::min(at, plain.size());
    const std::string marked = plain.substr(0, at) + tag + plain.substr(at);
    FUZZ_REQUIRE(stripMarkup(plain) == plain);
    FUZZ_REQUIRE(stripMarkup(marked) == plain);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    checkAnyText(std::string(reinterpret_cast<const char*>(data), size));

    FuzzedDataProvider input(data, size);
    const size_t at = input.ConsumeIntegral<uint16_t>();
    const std::string tagPart = input.ConsumeRandomLengthString(64);
    checkInsertedTag(input.ConsumeRemainingBytesAsString(), tagPart, at);
    return 0;
}
