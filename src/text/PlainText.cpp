#include "text/PlainText.h"

namespace PlainText {

std::string singleLine(const std::string& text) {
    std::string line = text;
    for (char& c : line) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return line;
}

}  // namespace PlainText
