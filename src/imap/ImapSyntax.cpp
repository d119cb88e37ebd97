#include "imap/ImapSyntax.h"

#include "text/PlainText.h"

namespace ImapSyntax {

namespace {

const char kUntagged[] = "*";

bool allDigits(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (!PlainText::isDigit(c)) return false;
    }
    return true;
}

bool toNumber(const std::string& text, uint32_t& value) {
    // RFC 3501 4.2: a number is unsigned 32 bits.
    if (!allDigits(text) || text.size() > 10) return false;
    uint64_t wide = 0;
    for (char c : text) wide = wide * 10 + static_cast<uint64_t>(c - '0');
    if (wide > 0xffffffffull) return false;
    value = static_cast<uint32_t>(wide);
    return true;
}

// One token of a response line: an atom (with any "[...]" section kept
// inside it, as in BODY[HEADER.FIELDS (FROM)]), a quoted string, a
// parenthesis, or a literal.
struct Token {
    enum Kind { End, Atom, Quoted, Open, Close, Literal } kind = End;
    std::string text;
    std::size_t literal = 0;
};

class Tokens {
public:
    explicit Tokens(const ImapResponse& response) : response_(response), line_(response.line) {}

    Token next() {
        while (pos_ < line_.size() && line_[pos_] == ' ') ++pos_;
        Token token;
        if (pos_ >= line_.size()) return token;
        const char c = line_[pos_];
        if (c == '(' || c == ')') {
            ++pos_;
            token.kind = c == '(' ? Token::Open : Token::Close;
            return token;
        }
        if (c == '"') return quotedString();
        if (c == '{') return literal();
        token.kind = Token::Atom;
        int depth = 0;
        while (pos_ < line_.size()) {
            const char d = line_[pos_];
            if (d == '[') ++depth;
            if (d == ']' && depth > 0) --depth;
            if (depth == 0 && (d == ' ' || d == '(' || d == ')')) break;
            token.text += d;
            ++pos_;
        }
        return token;
    }

    std::string rest() {
        while (pos_ < line_.size() && line_[pos_] == ' ') ++pos_;
        return line_.substr(pos_);
    }

private:
    Token quotedString() {
        Token token;
        token.kind = Token::Quoted;
        ++pos_;
        while (pos_ < line_.size() && line_[pos_] != '"') {
            if (line_[pos_] == '\\' && pos_ + 1 < line_.size()) ++pos_;
            token.text += line_[pos_++];
        }
        // An unterminated string ends with the line.
        if (pos_ < line_.size()) ++pos_;
        return token;
    }

    Token literal() {
        Token token;
        const std::size_t close = line_.find('}', pos_);
        pos_ = close == std::string::npos ? line_.size() : close + 1;
        token.kind = Token::Literal;
        token.literal = literalIndex_++;
        if (token.literal < response_.literals.size()) token.text = response_.literals[token.literal];
        return token;
    }

    const ImapResponse& response_;
    const std::string& line_;
    std::size_t pos_ = 0;
    std::size_t literalIndex_ = 0;
};

// Skips one value: an atom, a string, or a parenthesised list.
void skipValue(Tokens& tokens, const Token& first) {
    if (first.kind != Token::Open) return;
    int depth = 1;
    while (depth > 0) {
        const Token token = tokens.next();
        if (token.kind == Token::End) return;
        if (token.kind == Token::Open) ++depth;
        if (token.kind == Token::Close) --depth;
    }
}

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find(' ', pos);
        const std::string word = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        if (!word.empty()) out.push_back(PlainText::upperCase(word));
        if (end == std::string::npos) break;
        pos = end + 1;
    }
    return out;
}

}  // namespace

bool isContinuation(const ImapResponse& response) {
    return !response.line.empty() && response.line[0] == '+';
}

bool isTagged(const ImapResponse& response, const std::string& tag) {
    return response.line.compare(0, tag.size() + 1, tag + " ") == 0;
}

std::string statusWord(const ImapResponse& response) {
    Tokens tokens(response);
    tokens.next();
    const Token second = tokens.next();
    if (second.kind != Token::Atom) return std::string();
    if (!allDigits(second.text)) return PlainText::upperCase(second.text);
    const Token third = tokens.next();
    return third.kind == Token::Atom ? PlainText::upperCase(third.text) : std::string();
}

std::string statusText(const ImapResponse& response) {
    Tokens tokens(response);
    tokens.next();
    tokens.next();
    std::string rest = tokens.rest();
    if (!rest.empty() && rest[0] == '[') {
        const std::size_t close = rest.find(']');
        rest = close == std::string::npos ? std::string() : rest.substr(close + 1);
        if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
    }
    return rest;
}

std::vector<std::string> capabilities(const ImapResponse& response) {
    const std::string& line = response.line;
    const std::string word = statusWord(response);
    if (line.compare(0, 2, "* ") == 0 && word == "CAPABILITY") {
        std::vector<std::string> list = words(line.substr(2));
        list.erase(list.begin());
        return list;
    }
    const std::size_t code = PlainText::upperCase(line).find("[CAPABILITY ");
    if (code == std::string::npos) return {};
    const std::size_t close = line.find(']', code);
    if (close == std::string::npos) return {};
    std::vector<std::string> list = words(line.substr(code + 1, close - code - 1));
    list.erase(list.begin());
    return list;
}

bool has(const std::vector<std::string>& capabilities, const std::string& name) {
    for (const std::string& capability : capabilities) {
        if (capability == name) return true;
    }
    return false;
}

bool searchResult(const ImapResponse& response, std::vector<uint32_t>& uids) {
    Tokens tokens(response);
    if (tokens.next().text != kUntagged) return false;
    const Token name = tokens.next();
    if (name.kind != Token::Atom || PlainText::upperCase(name.text) != "SEARCH") return false;
    uids.clear();
    for (Token token = tokens.next(); token.kind == Token::Atom; token = tokens.next()) {
        uint32_t uid = 0;
        if (toNumber(token.text, uid)) uids.push_back(uid);
    }
    return true;
}

bool existsCount(const ImapResponse& response, uint32_t& count) {
    Tokens tokens(response);
    if (tokens.next().text != kUntagged) return false;
    const Token number = tokens.next();
    const Token name = tokens.next();
    return name.kind == Token::Atom && PlainText::upperCase(name.text) == "EXISTS" &&
           toNumber(number.text, count);
}

bool fetched(const ImapResponse& response, Fetched& out) {
    Tokens tokens(response);
    uint32_t sequence = 0;
    if (tokens.next().text != kUntagged || !toNumber(tokens.next().text, sequence)) return false;
    const Token name = tokens.next();
    if (name.kind != Token::Atom || PlainText::upperCase(name.text) != "FETCH") return false;
    if (tokens.next().kind != Token::Open) return false;
    out = Fetched();
    for (;;) {
        const Token item = tokens.next();
        if (item.kind != Token::Atom) break;
        const std::string key = PlainText::upperCase(item.text);
        const Token value = tokens.next();
        if (value.kind == Token::End) break;
        if (key == "UID") {
            toNumber(value.text, out.uid);
        } else if (key.compare(0, 5, "BODY[") == 0 && !out.hasBody) {
            out.hasBody = true;
            if (value.kind == Token::Literal) {
                out.body = value.text;
                out.oversized = response.oversized && value.text.empty();
            } else if (value.kind == Token::Quoted) {
                out.body = value.text;
            } else {
                // NIL, or nothing a body can be.
                out.hasBody = false;
            }
        } else {
            skipValue(tokens, value);
        }
    }
    return out.uid != 0;
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte == 0 || byte == '\r' || byte == '\n' || byte > 0x7f) return std::string();
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string uidSet(const std::vector<uint32_t>& uids) {
    std::string out;
    for (uint32_t uid : uids) {
        if (!out.empty()) out += ',';
        out += std::to_string(uid);
    }
    return out;
}

}  // namespace ImapSyntax
