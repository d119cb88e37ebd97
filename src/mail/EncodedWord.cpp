#include "mail/EncodedWord.h"

#include "text/PlainText.h"

namespace EncodedWord {

namespace {

// RFC 2047 2: a line holding encoded words is at most 76 characters.
const std::size_t kMaxLine = 76;
const char kFold[] = "\r\n ";
const char kHexDigits[] = "0123456789ABCDEF";

std::string opening(const std::string& charset) { return "=?" + charset + "?Q?"; }
const char kClosing[] = "?=";

// RFC 2047 5 (3): the characters that stand for themselves anywhere.
bool isLiteral(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || PlainText::isDigit(static_cast<char>(c)) ||
           c == '!' || c == '*' || c == '+' || c == '-' || c == '/';
}

std::string qEncoded(unsigned char c) {
    if (c == ' ') return "_";
    if (isLiteral(c)) return std::string(1, static_cast<char>(c));
    return std::string(1, '=') + kHexDigits[c >> 4] + kHexDigits[c & 0xF];
}

}  // namespace

bool isPlain(const std::string& text) {
    for (unsigned char c : text) {
        if (c < ' ' || c > '~') return false;
    }
    return text.find("=?") == std::string::npos;
}

std::string encode(const std::string& text, std::size_t prefixLength, const std::string& charset) {
    const std::string open = opening(charset);
    const std::size_t frame = open.size() + sizeof kClosing - 1;
    std::string out;
    std::string word;
    // The first word shares its line with the prefix, every later one with
    // the blank of its fold; a word too long for its line is closed first.
    std::size_t room = kMaxLine > prefixLength + frame ? kMaxLine - prefixLength - frame : 1;
    for (unsigned char c : text) {
        const std::string piece = qEncoded(c);
        if (!word.empty() && word.size() + piece.size() > room) {
            out += open + word + kClosing + kFold;
            word.clear();
            room = kMaxLine - 1 - frame;
        }
        word += piece;
    }
    return out + open + word + kClosing;
}

}  // namespace EncodedWord
