#include "ConversationPlayer.h"

#include <windows.h>

#include "MessagePump.h"
#include "ScriptLine.h"

namespace {

const char kCommentMark[] = "#";

// One line of any length; false at the end of the script.
bool readLine(std::FILE* script, std::string& line) {
    line.clear();
    char chunk[512];
    while (std::fgets(chunk, sizeof chunk, script)) {
        line += chunk;
        if (!line.empty() && line.back() == '\n') return true;
    }
    return !line.empty();
}

}  // namespace

int ConversationPlayer::play(std::FILE* script) {
    int faults = 0;
    std::string line;
    for (int lineNumber = 1; readLine(script, line); ++lineNumber) {
        playLine(line, lineNumber, faults);
    }
    return faults;
}

int32_t ConversationPlayer::connectionOf(const std::string& medium) {
    auto found = connections_.find(medium);
    if (found != connections_.end()) return found->second;
    const int32_t connection = static_cast<int32_t>(connections_.size()) + 1;
    connections_[medium] = connection;
    return connection;
}

void ConversationPlayer::playLine(const std::string& line, int lineNumber, int& faults) {
    const ScriptLine parsed = parseScriptLine(line);
    switch (parsed.kind) {
    case ScriptLine::Kind::Blank:
        break;
    case ScriptLine::Kind::Comment:
        output_(parsed.text.empty() ? kCommentMark : std::string(kCommentMark) + " " + parsed.text);
        break;
    case ScriptLine::Kind::Wait:
        output_(SimulatedHost::kHostPrefix + ("waits " + std::to_string(parsed.waitMs) + " ms"));
        pumpFor(parsed.waitMs);
        break;
    case ScriptLine::Kind::Message:
        host_.deliver(parsed.sender, parsed.medium, connectionOf(parsed.medium), parsed.text);
        break;
    case ScriptLine::Kind::Malformed:
        ++faults;
        problems_("line " + std::to_string(lineNumber) + " skipped: " + parsed.text);
        break;
    }
}
