#include "text/NumberText.h"

namespace NumberText {

namespace {

const char kDigits[] = "0123456789abcdef";
// The 20 decimal digits of the largest 64-bit number.
const int kMostDigits = 20;

void appendUnsigned(std::string& out, uint64_t value, unsigned base, int width) {
    char digits[kMostDigits];
    int count = 0;
    do {
        digits[count++] = kDigits[value % base];
        value /= base;
    } while (value != 0);
    if (width > count) out.append(static_cast<std::size_t>(width - count), '0');
    while (count > 0) out += digits[--count];
}

}  // namespace

void appendDecimal(std::string& out, int64_t value, int width) {
    if (value >= 0) {
        appendUnsigned(out, static_cast<uint64_t>(value), 10, width);
        return;
    }
    out += '-';
    // Negated as unsigned, so that the smallest number has its magnitude too.
    appendUnsigned(out, 0 - static_cast<uint64_t>(value), 10, width - 1);
}

void appendHex(std::string& out, uint64_t value, int width) {
    appendUnsigned(out, value, 16, width);
}

}  // namespace NumberText
