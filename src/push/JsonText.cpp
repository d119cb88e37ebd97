#include "push/JsonText.h"

#include <cstddef>
#include <cstdint>

#include "text/PlainText.h"

namespace JsonText {

namespace {

const char kHexDigits[] = "0123456789abcdef";
// Deeper nesting than any service's error answer has is not read.
const int kMaxDepth = 32;

// Reads one JSON value from `at`, moving past it.
class Reader {
public:
    explicit Reader(const std::string& text) : text_(text) {}

    bool atEnd() { return skipBlanks() >= text_.size(); }

    bool consume(char c) {
        if (skipBlanks() >= text_.size() || text_[at_] != c) return false;
        ++at_;
        return true;
    }

    bool peek(char c) { return skipBlanks() < text_.size() && text_[at_] == c; }

    std::optional<std::string> string() {
        if (!consume('"')) return std::nullopt;
        std::string value;
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (c == '"') return value;
            if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
            if (c != '\\') {
                value += c;
                continue;
            }
            if (at_ >= text_.size() || !escape(text_[at_++], value)) return std::nullopt;
        }
        return std::nullopt;
    }

    // Any value, its text ignored.
    bool skipValue(int depth = 0) {
        if (depth > kMaxDepth) return false;
        if (peek('"')) return string().has_value();
        if (consume('{')) return skipMembers(depth);
        if (consume('[')) return skipElements(depth);
        const std::size_t start = at_;
        while (at_ < text_.size() && literalChar(text_[at_])) ++at_;
        return at_ > start;
    }

private:
    static bool literalChar(char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || c == '-' || c == '+' || c == '.' ||
               c == 'E';
    }

    std::size_t skipBlanks() {
        while (at_ < text_.size() &&
               (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r' || text_[at_] == '\n')) {
            ++at_;
        }
        return at_;
    }

    bool skipMembers(int depth) {
        if (consume('}')) return true;
        do {
            if (!string() || !consume(':') || !skipValue(depth + 1)) return false;
        } while (consume(','));
        return consume('}');
    }

    bool skipElements(int depth) {
        if (consume(']')) return true;
        do {
            if (!skipValue(depth + 1)) return false;
        } while (consume(','));
        return consume(']');
    }

    std::optional<uint32_t> hex4() {
        if (at_ + 4 > text_.size()) return std::nullopt;
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = PlainText::hexDigit(text_[at_++]);
            if (digit < 0) return std::nullopt;
            value = value << 4 | static_cast<uint32_t>(digit);
        }
        return value;
    }

    static void appendUtf8(uint32_t code, std::string& out) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    // A lone surrogate becomes U+FFFD rather than broken UTF-8.
    bool escape(char c, std::string& out) {
        switch (c) {
            case '"': out += '"'; return true;
            case '\\': out += '\\'; return true;
            case '/': out += '/'; return true;
            case 'b': out += '\b'; return true;
            case 'f': out += '\f'; return true;
            case 'n': out += '\n'; return true;
            case 'r': out += '\r'; return true;
            case 't': out += '\t'; return true;
            case 'u': break;
            default: return false;
        }
        std::optional<uint32_t> code = hex4();
        if (!code) return false;
        if (*code >= 0xD800 && *code < 0xDC00 && at_ + 6 <= text_.size() && text_[at_] == '\\' &&
            text_[at_ + 1] == 'u') {
            const std::size_t before = at_;
            at_ += 2;
            const std::optional<uint32_t> low = hex4();
            if (low && *low >= 0xDC00 && *low < 0xE000) {
                appendUtf8(0x10000 + ((*code - 0xD800) << 10) + (*low - 0xDC00), out);
                return true;
            }
            at_ = before;
        }
        appendUtf8(*code >= 0xD800 && *code < 0xE000 ? 0xFFFD : *code, out);
        return true;
    }

    const std::string& text_;
    std::size_t at_ = 0;
};

}  // namespace

std::string quoted(const std::string& utf8) {
    std::string out = "\"";
    out.reserve(utf8.size() + 2);
    for (char c : utf8) {
        const unsigned char byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (byte < 0x20) {
                    out += "\\u00";
                    out += kHexDigits[byte >> 4];
                    out += kHexDigits[byte & 0xF];
                } else {
                    out += c;
                }
        }
    }
    out += '"';
    return out;
}

std::optional<std::string> memberText(const std::string& json, const std::string& name) {
    Reader reader(json);
    if (!reader.consume('{')) return std::nullopt;
    std::optional<std::string> found;
    if (reader.consume('}')) return std::nullopt;
    do {
        const std::optional<std::string> key = reader.string();
        if (!key || !reader.consume(':')) return found;
        if (found || *key != name) {
            if (!reader.skipValue()) return found;
            continue;
        }
        if (reader.peek('"')) {
            found = reader.string();
        } else if (reader.consume('[')) {
            if (reader.peek('"')) found = reader.string();
            return found;
        } else if (!reader.skipValue()) {
            return found;
        }
    } while (reader.consume(','));
    return found;
}

}  // namespace JsonText
