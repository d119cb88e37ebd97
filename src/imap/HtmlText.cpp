#include "imap/HtmlText.h"

#include <cstdint>

#include "text/PlainText.h"

namespace HtmlText {

namespace {

// Elements whose content is never shown as text.
const char* const kHiddenElements[] = {"head", "script", "style", "title"};
const char* const kLineBreakingElements[] = {"br", "p", "div", "tr", "li", "h1", "h2", "h3", "h4", "h5", "h6"};
const char kQuoteElement[] = "blockquote";
const uint32_t kLargestCodePoint = 0x10ffff;
const std::size_t kMaxEntityLength = 10;

struct NamedEntity {
    const char* name;
    uint32_t codePoint;
};
const NamedEntity kNamedEntities[] = {{"amp", '&'},    {"lt", '<'},     {"gt", '>'},
                                      {"quot", '"'},   {"apos", '\''},  {"nbsp", ' '},
                                      {"copy", 0xa9},  {"eacute", 0xe9}, {"euro", 0x20ac}};

bool isLatin1(const std::string& charset) {
    return charset == "iso-8859-1" || charset == "latin1" || charset == "windows-1252" ||
           charset == "us-ascii";
}

std::string encoded(uint32_t codePoint, const std::string& charset) {
    if (codePoint < 0x80) return std::string(1, static_cast<char>(codePoint));
    if (charset == "utf-8") {
        std::string out;
        if (codePoint < 0x800) {
            out += static_cast<char>(0xc0 | (codePoint >> 6));
        } else if (codePoint < 0x10000) {
            out += static_cast<char>(0xe0 | (codePoint >> 12));
            out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3f));
        } else {
            out += static_cast<char>(0xf0 | (codePoint >> 18));
            out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3f));
            out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3f));
        }
        return out + static_cast<char>(0x80 | (codePoint & 0x3f));
    }
    if (codePoint < 0x100 && isLatin1(charset)) return std::string(1, static_cast<char>(codePoint));
    return "?";
}

// A reference at `pos` ("&amp;", "&#233;", "&#xe9;"): its code point and
// length; false when it is none, and the "&" then stands for itself.
bool reference(const std::string& html, std::size_t pos, uint32_t& codePoint, std::size_t& length) {
    const std::size_t end = html.find(';', pos);
    if (end == std::string::npos || end - pos > kMaxEntityLength || end == pos + 1) return false;
    const std::string name = html.substr(pos + 1, end - pos - 1);
    length = end - pos + 1;
    if (name[0] == '#') {
        const bool hex = name.size() > 1 && PlainText::lowerCase(name[1]) == 'x';
        const std::string digits = name.substr(hex ? 2 : 1);
        if (digits.empty()) return false;
        uint32_t value = 0;
        for (char c : digits) {
            const int digit = hex ? PlainText::hexDigit(c) : PlainText::isDigit(c) ? c - '0' : -1;
            if (digit < 0) return false;
            value = value * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
            if (value > kLargestCodePoint) return false;
        }
        codePoint = value;
        return true;
    }
    for (const NamedEntity& entity : kNamedEntities) {
        if (name == entity.name) {
            codePoint = entity.codePoint;
            return true;
        }
    }
    return false;
}

// The element name of a tag's text ("/p class=x" gives "p"), and whether
// it closes.
std::string elementName(const std::string& tag, bool& closing) {
    std::size_t pos = 0;
    closing = !tag.empty() && tag[0] == '/';
    if (closing) ++pos;
    std::string name;
    while (pos < tag.size() && tag[pos] != ' ' && tag[pos] != '/' && tag[pos] != '\t' &&
           tag[pos] != '\r' && tag[pos] != '\n') {
        name += PlainText::lowerCase(tag[pos++]);
    }
    return name;
}

template <std::size_t N>
bool listed(const char* const (&names)[N], const std::string& name) {
    for (const char* listedName : names) {
        if (name == listedName) return true;
    }
    return false;
}

}  // namespace

std::string toText(const std::string& html, const std::string& charsetName) {
    const std::string charset = PlainText::lowerCase(charsetName);
    std::string out;
    std::string hiddenUntil;
    int quoteDepth = 0;
    std::size_t pos = 0;
    while (pos < html.size()) {
        const char c = html[pos];
        if (c == '<') {
            if (html.compare(pos, 4, "<!--") == 0) {
                const std::size_t end = html.find("-->", pos + 4);
                pos = end == std::string::npos ? html.size() : end + 3;
                continue;
            }
            const std::size_t end = html.find('>', pos);
            if (end == std::string::npos) break;
            bool closing = false;
            const std::string name = elementName(html.substr(pos + 1, end - pos - 1), closing);
            pos = end + 1;
            if (!hiddenUntil.empty()) {
                if (closing && name == hiddenUntil) hiddenUntil.clear();
                continue;
            }
            if (name == kQuoteElement) {
                if (!closing && quoteDepth++ == 0) out += "\n> \n";
                if (closing && quoteDepth > 0) --quoteDepth;
                continue;
            }
            if (quoteDepth > 0) continue;
            if (!closing && listed(kHiddenElements, name)) {
                hiddenUntil = name;
            } else if (listed(kLineBreakingElements, name)) {
                out += '\n';
            }
            continue;
        }
        ++pos;
        if (!hiddenUntil.empty() || quoteDepth > 0) continue;
        uint32_t codePoint = 0;
        std::size_t length = 0;
        if (c == '&' && reference(html, pos - 1, codePoint, length)) {
            out += encoded(codePoint, charset);
            pos += length - 1;
        } else if (c == '\r' || c == '\n' || c == '\t') {
            out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace HtmlText
