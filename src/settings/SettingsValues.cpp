#include "settings/SettingsValues.h"

#include <cstdlib>

namespace SettingsValues {

bool parseSwitch(const std::string& stored) { return !stored.empty() && stored[0] == '1'; }

int32_t parseNumber(const std::string& stored) { return std::atoi(stored.c_str()); }

std::string formatSwitch(bool on) { return on ? "1" : "0"; }

std::string formatNumber(int32_t value) { return std::to_string(value); }

std::string formatText(const std::string& text) {
    std::string line = text;
    for (char& c : line) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return line;
}

}  // namespace SettingsValues
