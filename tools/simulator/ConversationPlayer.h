#pragma once
// Plays a conversation script (ScriptLine.h) line by line: each message is
// delivered to the plug-in, each comment echoed, each wait slept.
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

#include "SimulatedHost.h"

class ConversationPlayer {
public:
    // Comments go to `output`, among the host's lines (the host names each
    // wait); a line that is not understood is named on `problems`.
    ConversationPlayer(SimulatedHost& host, SimulatedHost::Output output,
                       SimulatedHost::Output problems)
        : host_(host), output_(std::move(output)), problems_(std::move(problems)) {}

    // Reads the script to its end, skipping the lines that are not
    // understood. Returns the number of those.
    int play(std::FILE* script);
    // The connection of a medium: one per medium, from 1 in order of first use.
    int32_t connectionOf(const std::string& medium);

private:
    void playLine(const std::string& line, int lineNumber, int& faults);

    SimulatedHost& host_;
    SimulatedHost::Output output_;
    SimulatedHost::Output problems_;
    std::map<std::string, int32_t> connections_;
};
