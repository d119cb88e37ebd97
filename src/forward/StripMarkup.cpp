#include "forward/StripMarkup.h"

std::string stripMarkup(const std::string& text) {
    std::string plain;
    plain.reserve(text.size());
    bool insideTag = false;
    for (char c : text) {
        if (insideTag) {
            if (c == '>') insideTag = false;
        } else if (c == '<') {
            insideTag = true;
        } else {
            plain += c;
        }
    }
    return plain;
}
