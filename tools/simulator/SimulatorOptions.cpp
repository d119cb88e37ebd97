#include "SimulatorOptions.h"

#include "ScriptLine.h"

namespace {

const char kStandardInput[] = "-";

const char kUsage[] =
    "Usage: host_simulator.exe [options] DLL [SCRIPT]\n"
    "\n"
    "Plays the instant-messaging client for the plug-in DLL: loads it, sends\n"
    "\"load\" and \"start\", broadcasts every message of SCRIPT as\n"
    "\"incoming_privateMessage\", then sends \"stop\" and \"unload\" (which\n"
    "writes the settings file). Every request the plug-in makes is printed on\n"
    "a line of its own.\n"
    "\n"
    "SCRIPT is a file, or - for standard input (the default, unless --prefs is\n"
    "given). One line each:\n"
    "  ann AIM <b>hi</b>   a message: sender, medium, text (markup allowed)\n"
    "  # any words         a comment, echoed to the output\n"
    "  # wait 5000         a pause of that many milliseconds (at most 600000)\n"
    "Each medium gets its own connection number, from 1 in order of first use.\n"
    "\n"
    "Options:\n"
    "  --settings DIR   the settings directory handed to the plug-in, where it\n"
    "                   keeps IMTolvane.ini (default: the current directory)\n"
    "  --prefs          open the preferences page in a window of its own before\n"
    "                   the conversation (needs a display); OK and Apply save\n"
    "  --wait-ms N      wait N ms after the conversation, before \"stop\", so the\n"
    "                   plug-in can send what it queued (each mail takes a second)\n"
    "  --help           show this text\n"
    "\n"
    "Exit codes: 0 done; 1 lines of SCRIPT skipped, or SCRIPT unreadable;\n"
    "2 a faulty command line; 3 the DLL cannot be loaded; 4 the plug-in crashed.\n";

bool readWait(const std::string& text, uint32_t& ms) {
    const ScriptLine asWait = parseScriptLine("# wait " + text);
    if (asWait.kind != ScriptLine::Kind::Wait) return false;
    ms = asWait.waitMs;
    return true;
}

// The value that follows an option, or an error.
bool takeValue(const std::vector<std::string>& arguments, std::size_t& at, std::string& value,
               std::string& error) {
    if (at + 1 >= arguments.size()) {
        error = arguments[at] + " needs a value";
        return false;
    }
    value = arguments[++at];
    return true;
}

bool readOption(const std::vector<std::string>& arguments, std::size_t& at, ParsedOptions& parsed) {
    const std::string& option = arguments[at];
    SimulatorOptions& options = parsed.options;
    std::string value;
    if (option == "--help" || option == "-h") {
        options.help = true;
    } else if (option == "--prefs") {
        options.showPrefs = true;
    } else if (option == "--settings") {
        if (!takeValue(arguments, at, value, parsed.error)) return false;
        options.settingsDirectory = withTrailingSeparator(value);
    } else if (option == "--wait-ms") {
        if (!takeValue(arguments, at, value, parsed.error)) return false;
        if (!readWait(value, options.waitMs)) {
            parsed.error = "--wait-ms needs a number of milliseconds up to 600000";
            return false;
        }
    } else {
        parsed.error = "unknown option " + option;
        return false;
    }
    return true;
}

}  // namespace

ParsedOptions parseOptions(const std::vector<std::string>& arguments) {
    ParsedOptions parsed;
    std::vector<std::string> positional;
    for (std::size_t at = 0; at < arguments.size(); ++at) {
        const std::string& argument = arguments[at];
        const bool isOption = argument.size() > 1 && argument[0] == '-';
        if (!isOption) {
            positional.push_back(argument);
        } else if (!readOption(arguments, at, parsed)) {
            return parsed;
        }
    }
    if (parsed.options.help) return parsed;

    if (positional.empty()) {
        parsed.error = "no DLL given";
    } else if (positional.size() > 2) {
        parsed.error = "too many arguments: " + positional[2];
    } else {
        SimulatorOptions& options = parsed.options;
        options.dllPath = positional[0];
        const bool scriptGiven = positional.size() == 2;
        if (scriptGiven && positional[1] != kStandardInput) options.scriptPath = positional[1];
        options.playScript = scriptGiven || !options.showPrefs;
    }
    return parsed;
}

const char* usageText() { return kUsage; }

std::string withTrailingSeparator(const std::string& directory) {
    if (directory.empty()) return directory;
    const char last = directory.back();
    return last == '\\' || last == '/' ? directory : directory + '\\';
}
