#include "text/Utf8Text.h"

namespace Utf8Text {

namespace {

bool continues(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::size_t length(const std::string& text) {
    std::size_t count = 0;
    for (char c : text) {
        if (!continues(c)) ++count;
    }
    return count;
}

std::size_t advance(const std::string& text, std::size_t from, std::size_t count) {
    std::size_t at = from;
    while (at < text.size()) {
        if (!continues(text[at])) {
            if (count == 0) return at;
            --count;
        }
        ++at;
    }
    return text.size();
}

}  // namespace Utf8Text
