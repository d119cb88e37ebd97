#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "forward/CarrierTable.h"

namespace {

// A real label, a real label with a few bytes changed, or any text, so that
// the exact matches and the near misses are both tried often.
std::string pickProvider(FuzzedDataProvider& input) {
    const CarrierRow& row =
        CarrierTable::rows[input.ConsumeIntegralInRange<size_t>(0, CarrierTable::rows.size() - 1)];
    std::string label = row.label;
    switch (input.ConsumeIntegralInRange(0, 2)) {
        case 0:
            return label;
        case 1:
            if (!label.empty()) {
                label[input.ConsumeIntegralInRange<size_t>(0, label.size() - 1)] =
                    input.ConsumeIntegral<char>();
            }
            return label;
        default:
            return input.ConsumeRandomLengthString(48);
    }
}

size_t digitCount(const std::string& text) {
    size_t count = 0;
    for (char c : text) count += c >= '0' && c <= '9';
    return count;
}

void checkDigits(const std::string& phoneNumber, const std::string& digits) {
    FUZZ_REQUIRE(digits.size() == digitCount(phoneNumber));
    FUZZ_REQUIRE(digitCount(digits) == digits.size());
    FUZZ_REQUIRE(isSubsequence(digits, phoneNumber));
}

const CarrierRow* rowLabelled(const std::string& label) {
    for (const CarrierRow& row : CarrierTable::rows) {
        if (label == row.label) return &row;
    }
    return nullptr;
}

void checkAddress(const std::string& phoneNumber, const std::string& provider) {
    const CarrierRow* row = CarrierTable::findByLabel(provider);
    FUZZ_REQUIRE(row == rowLabelled(provider));
    const std::string address = phoneGatewayAddress(phoneNumber, provider);
    if (!row) {
        FUZZ_REQUIRE(address.empty());
        return;
    }
    const std::string expected =
        (row->plusPrefix ? "+" : "") + phoneDigits(phoneNumber) + row->gatewaySuffix;
    FUZZ_REQUIRE(address == expected);
    FUZZ_REQUIRE(address.find('@') == address.rfind('@'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string provider = pickProvider(input);
    const std::string phoneNumber = input.ConsumeRemainingBytesAsString();
    checkDigits(phoneNumber, phoneDigits(phoneNumber));
    checkAddress(phoneNumber, provider);
    return 0;
}
