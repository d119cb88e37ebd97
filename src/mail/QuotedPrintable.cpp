#include "mail/QuotedPrintable.h"

namespace QuotedPrintable {

namespace {

// RFC 2045 6.7 (5): an encoded line is at most 76 characters long.
const std::size_t kMaxLine = 76;
const char kSoftBreak[] = "=\r\n";
const char kCrLf[] = "\r\n";
const char kHexDigits[] = "0123456789ABCDEF";
const char kEscape = '=';

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

bool atLineEnd(const std::string& text, std::size_t next) {
    return next >= text.size() || isLineEnd(text[next]);
}

// A "." that opens a line is escaped too, so that no line of the data can
// ever be the end-of-data line, whatever else handles it.
bool needsEscape(const std::string& text, std::size_t i, bool lineStart) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == ' ' || c == '\t') return atLineEnd(text, i + 1);
    if (c == '.') return lineStart;
    return c < 33 || c > 126 || c == kEscape;
}

std::string escaped(unsigned char c) {
    return std::string(1, kEscape) + kHexDigits[c >> 4] + kHexDigits[c & 0xF];
}

}  // namespace

std::string encode(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    std::size_t lineLength = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (isLineEnd(c)) {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += kCrLf;
            lineLength = 0;
            continue;
        }
        const std::string piece = needsEscape(text, i, lineLength == 0)
                                      ? escaped(static_cast<unsigned char>(c))
                                      : std::string(1, c);
        // Room is kept for the "=" of a soft break unless the line ends here.
        const std::size_t room = atLineEnd(text, i + 1) ? kMaxLine : kMaxLine - 1;
        if (lineLength + piece.size() > room) {
            out += kSoftBreak;
            lineLength = 0;
            if (c == '.') {
                out += escaped('.');
                lineLength = 3;
                continue;
            }
        }
        out += piece;
        lineLength += piece.size();
    }
    return out;
}

}  // namespace QuotedPrintable
