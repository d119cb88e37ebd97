#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "mail/MailData.h"
#include "mail/MailDate.h"

namespace {

const char kCrLf[] = "\r\n";
const char kEndOfData[] = "\r\n.\r\n";
// SMTP's limit on one line of mail data, CR LF not counted.
const size_t kMaxLine = 998;
const size_t kHeaderLines = 4;
const char* const kHeaderPrefixes[kHeaderLines] = {"TO: ", "FROM: ", "SUBJECT: ", "DATE: "};

// Every line end of the text as CR LF: CR LF, a lone CR and a lone LF each
// end one line.
std::string normalised(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += kCrLf;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string withoutLineEnds(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c != '\r' && c != '\n') out += c;
    }
    return out;
}

bool hasLineEnd(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

size_t longestLine(const std::string& text) {
    size_t longest = 0;
    size_t current = 0;
    for (char c : text) {
        current = (c == '\r' || c == '\n') ? 0 : current + 1;
        if (current > longest) longest = current;
    }
    return longest;
}

// The lines of data that uses CR LF and nothing else as its line end.
std::vector<std::string> crLfLines(const std::string& data) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const size_t end = data.find(kCrLf, start);
        if (end == std::string::npos) break;
        lines.push_back(data.substr(start, end - start));
        start = end + 2;
    }
    FUZZ_REQUIRE(start == data.size());
    return lines;
}

void checkNoBareLineEnds(const std::string& data) {
    for (size_t i = 0; i < data.size(); ++i) {
        if (data[i] == '\r') FUZZ_REQUIRE(i + 1 < data.size() && data[i + 1] == '\n');
        if (data[i] == '\n') FUZZ_REQUIRE(i > 0 && data[i - 1] == '\r');
    }
}

void checkCommandLine(const std::string& line, const char* prefix, const std::string& value) {
    FUZZ_REQUIRE(startsWith(line, prefix));
    const std::string rest = line.substr(std::string(prefix).size());
    FUZZ_REQUIRE(rest.size() == value.size() + 2);
    FUZZ_REQUIRE(rest.compare(rest.size() - 2, 2, kCrLf) == 0);
    FUZZ_REQUIRE(!hasLineEnd(rest.substr(0, value.size())));
}

// Long header lines are folded: every line end inside the piece is followed
// by a blank, and without its folds and blanks the line is the prefix and the
// value, with nothing lost or added but blanks.
void checkHeaderLine(const std::string& piece, const char* prefix, const std::string& value) {
    FUZZ_REQUIRE(startsWith(piece, prefix));
    FUZZ_REQUIRE(piece.size() >= 2 && piece.compare(piece.size() - 2, 2, kCrLf) == 0);
    auto withoutBlanks = [](const std::string& text) {
        std::string kept;
        for (char c : text) {
            if (c != ' ' && c != '\r' && c != '\n') kept += c;
        }
        return kept;
    };
    const std::string line = piece.substr(0, piece.size() - 2);
    for (size_t i = 0; (i = line.find_first_of("\r\n", i)) != std::string::npos; i += 3) {
        FUZZ_REQUIRE(line.compare(i, 3, "\r\n ") == 0);
    }
    FUZZ_REQUIRE(withoutBlanks(line) == withoutBlanks(prefix + value));
}

// Joins folded header lines back onto the line they continue.
std::vector<std::string> unfoldHeaders(const std::vector<std::string>& lines) {
    std::vector<std::string> unfolded;
    size_t i = 0;
    for (; i < lines.size() && !lines[i].empty(); ++i) {
        if (!unfolded.empty() && lines[i][0] == ' ') {
            unfolded.back() += lines[i];
        } else {
            unfolded.push_back(lines[i]);
        }
    }
    unfolded.insert(unfolded.end(), lines.begin() + static_cast<std::ptrdiff_t>(i), lines.end());
    return unfolded;
}

// What a server keeps of the data: the lines up to the one that holds a
// single period, each with a leading period removed.
std::vector<std::string> readBack(const std::string& data) {
    std::vector<std::string> lines = crLfLines(data);
    FUZZ_REQUIRE(!lines.empty() && lines.back() == ".");
    lines.pop_back();
    for (std::string& line : lines) {
        FUZZ_REQUIRE(line != ".");
        if (!line.empty() && line[0] == '.') line.erase(0, 1);
    }
    return lines;
}

void checkData(const std::vector<MailData::Piece>& pieces, const MailJob& job) {
    std::string data;
    for (size_t i = 3; i < pieces.size(); ++i) data += pieces[i].bytes;
    FUZZ_REQUIRE(data.find(kEndOfData) == data.size() - 5);
    checkNoBareLineEnds(data);
    for (const std::string& line : crLfLines(data)) FUZZ_REQUIRE(line.size() <= kMaxLine);

    // Four header lines, an empty line, the body, two empty lines.
    const std::vector<std::string> lines = unfoldHeaders(readBack(data));
    FUZZ_REQUIRE(lines.size() >= kHeaderLines + 4);
    for (size_t i = 0; i < kHeaderLines; ++i) FUZZ_REQUIRE(startsWith(lines[i], kHeaderPrefixes[i]));
    FUZZ_REQUIRE(lines[kHeaderLines].empty());
    FUZZ_REQUIRE(lines[lines.size() - 1].empty() && lines[lines.size() - 2].empty());
    std::string body;
    for (size_t i = kHeaderLines + 1; i + 2 < lines.size(); ++i) {
        if (i > kHeaderLines + 1) body += kCrLf;
        body += lines[i];
    }
    const std::string expected = normalised(job.body);
    // Lines over the limit are broken, so only their bytes can be compared.
    if (longestLine(job.body) < kMaxLine) {
        FUZZ_REQUIRE(body == expected);
    } else {
        FUZZ_REQUIRE(withoutLineEnds(body) == withoutLineEnds(expected));
    }
}

void checkMail(const MailJob& job, const std::string& date) {
    const std::vector<MailData::Piece> pieces = MailData::mailPieces(job, date);
    FUZZ_REQUIRE(pieces.size() == 9);
    checkCommandLine(pieces[0].bytes, "MAIL FROM: ", job.sender);
    checkCommandLine(pieces[1].bytes, "RCPT TO: ", job.recipient);
    FUZZ_REQUIRE(pieces[2].bytes == "DATA\r\n" && pieces[2].opensData);
    checkHeaderLine(pieces[3].bytes, "TO: ", job.recipient);
    checkHeaderLine(pieces[4].bytes, "FROM: ", job.sender);
    checkHeaderLine(pieces[5].bytes, "SUBJECT: ", job.subject);
    checkHeaderLine(pieces[6].bytes, "DATE: ", date);
    checkData(pieces, job);
    checkCommandLine(MailData::heloLine(MailData::heloDomain(job.sender)), "HELO ",
                     MailData::heloDomain(job.sender));
}

// Days since 1970-01-01 of a Gregorian date (Howard Hinnant's algorithm),
// from which the weekday follows independently of the code under test.
int64_t daysFromCivil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The system clock's fields are 16-bit, whatever they hold.
void checkDate(FuzzedDataProvider& input) {
    const MailTime time{input.ConsumeIntegral<uint16_t>(), input.ConsumeIntegral<uint16_t>(),
                        input.ConsumeIntegral<uint16_t>(), input.ConsumeIntegral<uint16_t>(),
                        input.ConsumeIntegral<uint16_t>(), input.ConsumeIntegral<uint16_t>()};
    const std::string date = formatMailDate(time);
    FUZZ_REQUIRE(!hasLineEnd(date));
    const bool sane = time.year >= 1601 && time.year <= 9999 && time.month >= 1 &&
                      time.month <= 12 && time.day >= 1 && time.day <= 31 && time.hour < 24 &&
                      time.minute < 60 && time.second < 60;
    if (!sane) return;
    static const char* const kWeekdays[] = {"Thu", "Fri", "Sat", "Sun", "Mon", "Tue", "Wed"};
    const int64_t days = daysFromCivil(time.year, time.month, time.day);
    FUZZ_REQUIRE(date.size() == 31);
    FUZZ_REQUIRE(date.compare(0, 3, kWeekdays[((days % 7) + 7) % 7]) == 0);
    FUZZ_REQUIRE(date.compare(date.size() - 6, 6, " +0000") == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    checkDate(input);
    MailJob job;
    job.server = input.ConsumeRandomLengthString(32);
    job.sender = input.ConsumeRandomLengthString(64);
    job.recipient = input.ConsumeRandomLengthString(64);
    job.subject = input.ConsumeRandomLengthString(3 * kMaxLine);
    const std::string date = input.ConsumeRandomLengthString(40);
    job.body = input.ConsumeRemainingBytesAsString();
    checkMail(job, date);
    return 0;
}
