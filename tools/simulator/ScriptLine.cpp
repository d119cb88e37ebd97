#include "ScriptLine.h"

namespace {

const char kBlanks[] = " \t";
const char kLineEnds[] = "\r\n";
const char kCommentMark = '#';
const char kWaitWord[] = "wait";

std::string withoutLineEnd(const std::string& line) {
    const std::size_t end = line.find_last_not_of(kLineEnds);
    return end == std::string::npos ? std::string() : line.substr(0, end + 1);
}

// The word starting at `at` (after any blanks); `at` moves past it.
std::string nextWord(const std::string& line, std::size_t& at) {
    const std::size_t start = line.find_first_not_of(kBlanks, at);
    if (start == std::string::npos) {
        at = line.size();
        return std::string();
    }
    const std::size_t end = line.find_first_of(kBlanks, start);
    at = end == std::string::npos ? line.size() : end;
    return line.substr(start, at - start);
}

bool allDigits(const std::string& word) {
    return !word.empty() && word.find_first_not_of("0123456789") == std::string::npos;
}

ScriptLine malformed(const std::string& problem) {
    ScriptLine parsed;
    parsed.kind = ScriptLine::Kind::Malformed;
    parsed.text = problem;
    return parsed;
}

// "wait" and a number of milliseconds, nothing else; any other comment is
// echoed as written.
ScriptLine commentOrWait(const std::string& words) {
    std::size_t at = 0;
    const std::string first = nextWord(words, at);
    const std::string number = nextWord(words, at);
    const bool isWait = first == kWaitWord && allDigits(number) && nextWord(words, at).empty();
    if (!isWait) {
        ScriptLine comment;
        comment.kind = ScriptLine::Kind::Comment;
        comment.text = words;
        return comment;
    }
    // Compared digit by digit, so no number is too long to read.
    uint64_t ms = 0;
    for (char digit : number) {
        ms = ms * 10 + static_cast<uint64_t>(digit - '0');
        if (ms > kLongestWaitMs) return malformed("a wait of more than 600000 ms");
    }
    ScriptLine wait;
    wait.kind = ScriptLine::Kind::Wait;
    wait.waitMs = static_cast<uint32_t>(ms);
    return wait;
}

}  // namespace

ScriptLine parseScriptLine(const std::string& rawLine) {
    const std::string line = withoutLineEnd(rawLine);
    const std::size_t start = line.find_first_not_of(kBlanks);
    if (start == std::string::npos) return ScriptLine();
    if (line[start] == kCommentMark) {
        const std::size_t words = line.find_first_not_of(kBlanks, start + 1);
        return commentOrWait(words == std::string::npos ? std::string() : line.substr(words));
    }

    ScriptLine message;
    message.kind = ScriptLine::Kind::Message;
    std::size_t at = start;
    message.sender = nextWord(line, at);
    message.medium = nextWord(line, at);
    const std::size_t text = line.find_first_not_of(kBlanks, at);
    if (text == std::string::npos) {
        return malformed("a message needs a sender, a medium and a text");
    }
    message.text = line.substr(text);
    return message;
}
