#pragma once
// The host simulator's command line:
//     host_simulator.exe [--settings DIR] [--prefs] [--wait-ms N] DLL [SCRIPT]
#include <cstdint>
#include <string>
#include <vector>

struct SimulatorOptions {
    std::string dllPath;
    // The conversation to play: a file, or standard input when empty.
    std::string scriptPath;
    // Whether a conversation is played at all: not when --prefs is given
    // without a script.
    bool playScript = true;
    // The directory handed to the plug-in, with its trailing separator;
    // empty for the current directory.
    std::string settingsDirectory;
    bool showPrefs = false;
    // The pause after the conversation, before "stop".
    uint32_t waitMs = 0;
    bool help = false;
};

struct ParsedOptions {
    SimulatorOptions options;
    // Empty when the command line is sound.
    std::string error;
};

// The arguments after the program's name.
ParsedOptions parseOptions(const std::vector<std::string>& arguments);
const char* usageText();

// A directory text that ends with a path separator, as the plug-in expects.
std::string withTrailingSeparator(const std::string& directory);
