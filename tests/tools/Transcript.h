#pragma once
// Collects the lines a SimulatedHost writes.
#include <string>

#include "SimulatedHost.h"

class Transcript {
public:
    SimulatedHost::Output output() {
        return [this](const std::string& line) { text_ += line + "\n"; };
    }
    // Whether a line holds the words.
    bool has(const std::string& words) const { return text_.find(words) != std::string::npos; }
    // Every line, for failure messages.
    const std::string& dump() const { return text_; }

private:
    std::string text_;
};
