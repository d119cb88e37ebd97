#pragma once
// The real DLL in a SimulatedHost with a fresh settings directory, and the
// lines that host writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "IniFile.h"
#include "SimulatedHost.h"
#include "TempDir.h"
#include "TestHost.h"

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

class SimulatorFixture : public ::testing::Test {
protected:
    // Writes the settings, opens the DLL and sends "load".
    void open(const std::vector<IniEntry>& settings = {}) {
        settingsFile().writeThroughProfile(settings, TestHost::kSection);
        std::string error;
        ASSERT_TRUE(host.open(builtDllPath(), error)) << error;
        host.load(directory.path());
    }

    IniFile settingsFile() const { return IniFile(directory.file(TestHost::kSettingsFileName)); }

    TempDir directory;
    Transcript transcript;
    SimulatedHost host{transcript.output()};
};
