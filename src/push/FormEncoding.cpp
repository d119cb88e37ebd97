#include "push/FormEncoding.h"

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

bool keptAsIs(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '*' ||
           c == '-' || c == '.' || c == '_';
}

void appendEncoded(const std::string& text, std::string& out) {
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (keptAsIs(c)) {
            out += c;
        } else if (c == ' ') {
            out += '+';
        } else {
            out += '%';
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0xF];
        }
    }
}

}  // namespace

std::string formEncoded(const std::vector<std::pair<std::string, std::string>>& fields) {
    std::string out;
    for (const auto& field : fields) {
        if (!out.empty()) out += '&';
        appendEncoded(field.first, out);
        out += '=';
        appendEncoded(field.second, out);
    }
    return out;
}
