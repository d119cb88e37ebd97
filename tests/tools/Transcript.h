#pragma once
// Collects the lines a SimulatedHost or a ConversationPlayer writes.
#include <string>
#include <vector>

#include "SimulatedHost.h"

class Transcript {
public:
    SimulatedHost::Output output() {
        return [this](const std::string& line) { lines_.push_back(line); };
    }
    const std::vector<std::string>& lines() const { return lines_; }
    // The position of the first line at or after `from` that contains the
    // words, or -1.
    int find(const std::string& words, int from = 0) const;
    bool has(const std::string& words) const { return find(words) >= 0; }
    // Every line from `from` on, for failure messages.
    std::string dump(int from = 0) const;

private:
    std::vector<std::string> lines_;
};
