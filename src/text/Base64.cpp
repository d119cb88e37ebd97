#include "text/Base64.h"

#include <cstdint>

#include "text/PlainText.h"

namespace Base64 {

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const char kPad = '=';
const int kNotBase64 = -1;
const int kBitsPerDigit = 6;
const int kDigitsPerGroup = 4;

int digitValue(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (PlainText::isDigit(c)) return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return kNotBase64;
}

bool isSkipped(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string encode(const std::string& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * kDigitsPerGroup);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = bytes.size() - i < 3 ? bytes.size() - i : 3;
        uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            group = group << 8 | (k < count ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        }
        for (std::size_t k = 0; k < static_cast<std::size_t>(kDigitsPerGroup); ++k) {
            out += k <= count ? kAlphabet[(group >> (18 - kBitsPerDigit * k)) & 0x3F] : kPad;
        }
    }
    return out;
}

bool decode(const std::string& text, std::string& bytes) {
    bytes.clear();
    uint32_t group = 0;
    int digits = 0;
    int pads = 0;
    for (char c : text) {
        if (isSkipped(c)) continue;
        if (c == kPad) {
            ++pads;
        } else {
            const int value = digitValue(c);
            // A digit after padding starts no new group: the text is broken.
            if (value == kNotBase64 || pads > 0) return false;
            group = group << kBitsPerDigit | static_cast<uint32_t>(value);
        }
        if (++digits < kDigitsPerGroup) continue;
        if (pads > 2) return false;
        group <<= kBitsPerDigit * pads;
        for (int k = 0; k < 3 - pads; ++k) bytes += static_cast<char>((group >> (16 - 8 * k)) & 0xFF);
        if (pads > 0) pads = kDigitsPerGroup;  // nothing may follow a padded group
        group = 0;
        digits = 0;
    }
    return digits == 0 && (pads == 0 || pads == kDigitsPerGroup);
}

}  // namespace Base64
