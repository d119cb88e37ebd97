#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "mail/Charset.h"
#include "mail/EncodedWord.h"
#include "mail/MimeMessage.h"
#include "text/PlainText.h"

// The message of the protected modes: every line within SMTP's limit and
// CR LF only; a subject's encoded words within 76 characters a line; a
// quoted-printable body within 76 a line; and decoding the subject and the
// body gives back what was typed (line ends as CR LF).
namespace {

const char kCrLf[] = "\r\n";
const size_t kMaxDataLine = 998;
const size_t kMaxEncodedLine = 76;
const char kSubject[] = "Subject: ";
const char kBodyStart[] = "\r\n\r\n";
const char kEnd[] = "\r\n.\r\n";
const unsigned kCodePages[] = {1252, 1251, 932, 65001, 42};

std::vector<std::string> crLfLines(const std::string& data) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = data.find(kCrLf, start)) != std::string::npos; start = end + 2) {
        lines.push_back(data.substr(start, end - start));
    }
    lines.push_back(data.substr(start));
    return lines;
}

std::string normalised(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            out += text[i];
            continue;
        }
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        out += kCrLf;
    }
    return out;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "=XX" back to its byte; false on anything else after "=".
bool unescape(const std::string& text, size_t& at, std::string& out) {
    if (at + 2 >= text.size()) return false;
    const int high = hexValue(text[at + 1]);
    const int low = hexValue(text[at + 2]);
    if (high < 0 || low < 0) return false;
    out += static_cast<char>(high * 16 + low);
    at += 3;
    return true;
}

std::string decodeQuotedPrintable(const std::string& body) {
    std::string out;
    const std::vector<std::string> lines = crLfLines(body);
    for (size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        FUZZ_REQUIRE(line.size() <= kMaxEncodedLine);
        bool soft = false;
        for (size_t at = 0; at < line.size();) {
            if (line[at] != '=') {
                const unsigned char c = static_cast<unsigned char>(line[at]);
                FUZZ_REQUIRE((c >= ' ' && c <= '~') || c == '\t');
                out += line[at++];
                continue;
            }
            if (at + 1 == line.size()) {
                soft = true;
                break;
            }
            FUZZ_REQUIRE(unescape(line, at, out));
        }
        if (!soft && n + 1 < lines.size()) out += kCrLf;
    }
    return out;
}

// The encoded words of a folded Subject value, decoded and joined.
std::string decodeEncodedWords(const std::string& value, const std::string& charset) {
    const std::string open = "=?" + charset + "?Q?";
    std::string out;
    size_t at = 0;
    while (at < value.size()) {
        if (value.compare(at, 3, "\r\n ") == 0) at += 3;
        FUZZ_REQUIRE(value.compare(at, open.size(), open) == 0);
        at += open.size();
        const size_t close = value.find("?=", at);
        FUZZ_REQUIRE(close != std::string::npos);
        const std::string word = value.substr(at, close - at);
        for (size_t i = 0; i < word.size();) {
            if (word[i] == '_') {
                out += ' ';
                ++i;
            } else if (word[i] == '=') {
                FUZZ_REQUIRE(unescape(word, i, out));
            } else {
                FUZZ_REQUIRE(word[i] != '?' && word[i] != ' ');
                out += word[i++];
            }
        }
        at = close + 2;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const bool offered = input.ConsumeBool();
    const std::string charset = Charset::ofCodePage(input.PickValueInArray(kCodePages));
    const std::string subject = input.ConsumeRandomLengthString(400);
    const std::string body = input.ConsumeRemainingBytesAsString();
    const MailJob job{"srv", "me@x.org", "you@y.net", subject, body};
    const bool eightBit = MimeMessage::sendsEightBit(body, offered);
    const std::string message = MimeMessage::data(job, {"date", "<id>", eightBit, charset});

    for (const std::string& line : crLfLines(message)) {
        FUZZ_REQUIRE(line.size() <= kMaxDataLine);
        FUZZ_REQUIRE(line.find_first_of("\r\n") == std::string::npos);
    }
    FUZZ_REQUIRE(message.size() >= sizeof kEnd - 1);
    FUZZ_REQUIRE(message.compare(message.size() - (sizeof kEnd - 1), std::string::npos, kEnd) == 0);

    const size_t subjectAt = message.find(std::string(kCrLf) + kSubject) + 2 + sizeof kSubject - 1;
    const size_t subjectEnd = message.find("\r\nDate: ", subjectAt);
    FUZZ_REQUIRE(subjectEnd != std::string::npos);
    const std::string value = message.substr(subjectAt, subjectEnd - subjectAt);
    const std::string typed = PlainText::singleLine(subject);
    if (!EncodedWord::isPlain(typed)) {
        const std::vector<std::string> lines = crLfLines(value);
        FUZZ_REQUIRE(lines[0].size() + sizeof kSubject - 1 <= kMaxEncodedLine);
        for (const std::string& line : lines) FUZZ_REQUIRE(line.size() <= kMaxEncodedLine);
        FUZZ_REQUIRE(decodeEncodedWords(value, charset) == typed);
    }

    const size_t bodyAt = message.find(kBodyStart) + sizeof kBodyStart - 1;
    const std::string sent = message.substr(bodyAt, message.size() - (sizeof kEnd - 1) - bodyAt);
    std::string unstuffed;
    const std::vector<std::string> lines = crLfLines(sent);
    for (size_t n = 0; n < lines.size(); ++n) {
        if (n > 0) unstuffed += kCrLf;
        unstuffed += lines[n].compare(0, 1, ".") == 0 ? lines[n].substr(1) : lines[n];
    }
    if (eightBit) {
        FUZZ_REQUIRE(unstuffed == normalised(body));
    } else {
        FUZZ_REQUIRE(decodeQuotedPrintable(unstuffed) == normalised(body));
    }
    return 0;
}
