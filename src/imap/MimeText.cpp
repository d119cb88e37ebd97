#include "imap/MimeText.h"

#include <map>
#include <vector>

#include "imap/HtmlText.h"
#include "imap/MailHeaders.h"
#include "text/Base64.h"
#include "text/PlainText.h"

namespace {

// Around header values and lines of a body part.
const char kBlanks[] = " \t\r\n";

const char kDefaultCharset[] = "us-ascii";
const char kDefaultType[] = "text/plain";
// Nesting deeper than any mail app writes is not followed: a crafted mail
// cannot make the walk recurse without end.
const int kMaxDepth = 8;
const std::size_t kBase64Group = 4;

struct ContentType {
    std::string type;  // "text/plain", in lower case
    std::map<std::string, std::string> parameters;  // names in lower case
};

ContentType contentType(const std::string& value) {
    ContentType out;
    const std::size_t semicolon = value.find(';');
    out.type = PlainText::lowerCase(PlainText::trimmed(value.substr(0, semicolon), kBlanks));
    if (out.type.find('/') == std::string::npos) out.type = kDefaultType;
    std::size_t pos = semicolon;
    while (pos != std::string::npos && pos < value.size()) {
        ++pos;
        const std::size_t equals = value.find('=', pos);
        if (equals == std::string::npos) break;
        const std::string name =
            PlainText::lowerCase(PlainText::trimmed(value.substr(pos, equals - pos), kBlanks));
        std::size_t valueStart = value.find_first_not_of(" \t", equals + 1);
        std::string parameter;
        if (valueStart != std::string::npos && value[valueStart] == '"') {
            std::size_t i = valueStart + 1;
            for (; i < value.size() && value[i] != '"'; ++i) {
                if (value[i] == '\\' && i + 1 < value.size()) ++i;
                parameter += value[i];
            }
            pos = value.find(';', i);
        } else {
            pos = value.find(';', equals);
            parameter = PlainText::trimmed(value.substr(equals + 1, pos == std::string::npos ? std::string::npos
                                                                               : pos - equals - 1), kBlanks);
        }
        out.parameters[name] = parameter;
    }
    return out;
}

// The header section and the body of an entity.
void split(const std::string& entity, std::string& headers, std::string& body) {
    headers = MailHeaders::headerSection(entity);
    body = entity.substr(headers.size());
    if (body.compare(0, 2, "\r\n") == 0) {
        body.erase(0, 2);
    } else if (!body.empty() && body[0] == '\n') {
        body.erase(0, 1);
    }
}

std::string withoutLineEnd(const std::string& line) {
    return !line.empty() && line.back() == '\r' ? line.substr(0, line.size() - 1) : line;
}

// The bodies between "--boundary" lines, up to "--boundary--".
std::vector<std::string> parts(const std::string& body, const std::string& boundary) {
    std::vector<std::string> out;
    const std::string delimiter = "--" + boundary;
    std::size_t pos = 0;
    std::size_t partStart = std::string::npos;
    while (pos < body.size()) {
        std::size_t end = body.find('\n', pos);
        if (end == std::string::npos) end = body.size();
        const std::string line = PlainText::trimmed(withoutLineEnd(body.substr(pos, end - pos)), kBlanks);
        if (line.compare(0, delimiter.size(), delimiter) == 0) {
            if (partStart != std::string::npos) {
                std::size_t partEnd = pos;
                if (partEnd > partStart && body[partEnd - 1] == '\n') --partEnd;
                if (partEnd > partStart && body[partEnd - 1] == '\r') --partEnd;
                out.push_back(body.substr(partStart, partEnd - partStart));
            }
            if (line.compare(delimiter.size(), 2, "--") == 0) return out;
            partStart = end + 1;
        }
        pos = end + 1;
    }
    // A body cut off before its closing delimiter still yields its last part.
    if (partStart != std::string::npos && partStart < body.size()) out.push_back(body.substr(partStart));
    return out;
}

// Lines ending in a blank continue on the next (RFC 3676 4.2), except the
// signature separator; with DelSp=yes that blank goes too.
std::string unflowed(const std::string& text, bool deleteSpace) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        const bool last = end == std::string::npos;
        if (last) end = text.size();
        std::string line = withoutLineEnd(text.substr(pos, end - pos));
        pos = end + 1;
        const bool flowed = !line.empty() && line.back() == ' ' && line != "-- ";
        if (flowed && deleteSpace) line.pop_back();
        out += line;
        if (!flowed && !last) out += "\r\n";
    }
    return out;
}

struct Found {
    MimeText plain;
    MimeText html;
};

std::string decodedBody(const std::string& headers, const std::string& body) {
    const std::string encoding = PlainText::lowerCase(MailHeaders::field(headers, "Content-Transfer-Encoding"));
    if (encoding == "quoted-printable") return decodeQuotedPrintable(body);
    if (encoding == "base64") return decodeBase64(body);
    return body;
}

void walk(const std::string& entity, int depth, Found& found) {
    if (depth > kMaxDepth || found.plain.found) return;
    std::string headers, body;
    split(entity, headers, body);
    const ContentType type = contentType(MailHeaders::field(headers, "Content-Type"));
    const std::string disposition = PlainText::lowerCase(MailHeaders::field(headers, "Content-Disposition"));
    if (disposition.compare(0, 10, "attachment") == 0) return;
    if (type.type.compare(0, 10, "multipart/") == 0) {
        const auto boundary = type.parameters.find("boundary");
        if (boundary == type.parameters.end() || boundary->second.empty()) return;
        for (const std::string& part : parts(body, boundary->second)) {
            walk(part, depth + 1, found);
            if (found.plain.found) return;
        }
        return;
    }
    const bool plain = type.type == "text/plain";
    if (!plain && (type.type != "text/html" || found.html.found)) return;
    MimeText text;
    text.found = true;
    const auto charset = type.parameters.find("charset");
    text.charset = charset == type.parameters.end() ? kDefaultCharset : PlainText::lowerCase(charset->second);
    text.text = decodedBody(headers, body);
    if (plain) {
        const auto format = type.parameters.find("format");
        if (format != type.parameters.end() && PlainText::lowerCase(format->second) == "flowed") {
            const auto delsp = type.parameters.find("delsp");
            const bool deleteSpace = delsp != type.parameters.end() && PlainText::lowerCase(delsp->second) == "yes";
            text.text = unflowed(text.text, deleteSpace);
        }
        found.plain = text;
    } else {
        text.text = HtmlText::toText(text.text, text.charset);
        found.html = text;
    }
}

bool isBase64(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '/';
}

}  // namespace

MimeText readableText(const std::string& mail) {
    Found found;
    walk(mail, 0, found);
    return found.plain.found ? found.plain : found.html;
}

std::string decodeQuotedPrintable(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '=') {
            out += c;
            continue;
        }
        // A soft line break: "=" and the line end, blanks between allowed.
        std::size_t next = i + 1;
        while (next < text.size() && (text[next] == ' ' || text[next] == '\t')) ++next;
        if (next < text.size() && (text[next] == '\r' || text[next] == '\n')) {
            if (text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n') ++next;
            i = next;
            continue;
        }
        if (next == text.size()) {
            i = next;
            continue;
        }
        const bool escaped =
            i + 2 < text.size() && PlainText::hexDigit(text[i + 1]) >= 0 && PlainText::hexDigit(text[i + 2]) >= 0;
        if (escaped) {
            out += static_cast<char>(PlainText::hexDigit(text[i + 1]) * 16 + PlainText::hexDigit(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

std::string decodeBase64(const std::string& text) {
    std::string clean;
    for (char c : text) {
        if (c == '=') break;
        if (isBase64(c)) clean += c;
    }
    // A group of one character carries no whole byte.
    if (clean.size() % kBase64Group == 1) clean.pop_back();
    while (clean.size() % kBase64Group != 0) clean += '=';
    std::string bytes;
    if (!Base64::decode(clean, bytes)) return std::string();
    return bytes;
}
