#include <fuzzer/FuzzedDataProvider.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzCheck.h"
#include "settings/SettingsKey.h"
#include "settings/SettingsValues.h"

namespace {

using namespace SettingsValues;

// The C library's reading of the same text, where it fits 32 bits.
void checkNumberAgainstLibrary(const std::string& stored) {
    errno = 0;
    const long long expected = std::strtoll(stored.c_str(), nullptr, 10);
    const int32_t parsed = parseNumber(stored);
    if (errno == 0 && expected >= INT32_MIN && expected <= INT32_MAX) {
        FUZZ_REQUIRE(parsed == expected);
    }
}

void checkStoredText(const std::string& text) {
    const std::string line = formatText(text);
    FUZZ_REQUIRE(line.size() == text.size());
    FUZZ_REQUIRE(line.find_first_of("\r\n") == std::string::npos);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') FUZZ_REQUIRE(line[i] == text[i]);
    }
}

Settings pickSettings(FuzzedDataProvider& input) {
    Settings settings;
    for (const SettingsKey& key : kSettingsKeys) {
        if (key.switchField) settings.*key.switchField = input.ConsumeBool();
        if (key.numberField) {
            settings.*key.numberField = input.ConsumeIntegralInRange<int32_t>(key.minimum, key.maximum);
        }
        if (key.textField) settings.*key.textField = input.ConsumeRandomLengthString(64);
    }
    return settings;
}

// A record saved and read back holds what it held, but for line ends in
// texts, which are stored as blanks.
void checkRoundTrip(const Settings& saved) {
    Settings loaded;
    for (const SettingsKey& key : kSettingsKeys) {
        const std::string stored = storedValue(saved, key);
        FUZZ_REQUIRE(stored.find_first_of("\r\n") == std::string::npos);
        assignStored(loaded, key, stored);
    }
    for (const SettingsKey& key : kSettingsKeys) {
        if (key.switchField) FUZZ_REQUIRE(loaded.*key.switchField == saved.*key.switchField);
        if (key.numberField) FUZZ_REQUIRE(loaded.*key.numberField == saved.*key.numberField);
        if (key.textField) FUZZ_REQUIRE(loaded.*key.textField == formatText(saved.*key.textField));
    }
}

// Whatever the file holds, a number reads within its key's range.
void checkNumberRanges(const std::string& stored) {
    Settings loaded;
    for (const SettingsKey& key : kSettingsKeys) {
        if (!key.numberField) continue;
        assignStored(loaded, key, stored);
        FUZZ_REQUIRE(loaded.*key.numberField >= key.minimum && loaded.*key.numberField <= key.maximum);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string stored(reinterpret_cast<const char*>(data), size);
    checkNumberAgainstLibrary(stored);
    checkStoredText(stored);
    checkNumberRanges(stored);

    FuzzedDataProvider input(data, size);
    checkRoundTrip(pickSettings(input));
    return 0;
}
