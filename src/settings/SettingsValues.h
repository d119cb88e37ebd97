#pragma once
#include <cstdint>
#include <string>

// Conversions between the INI file's stored texts and the settings' values.
namespace SettingsValues {

// On exactly when the text begins with the digit 1.
bool parseSwitch(const std::string& stored);
// As atoi reads it: leading blanks, an optional sign, digits up to the first
// other byte; no digits give 0. An overflow wraps modulo 2^32.
int32_t parseNumber(const std::string& stored);

std::string formatSwitch(bool on);
std::string formatNumber(int32_t value);
// A stored text is one line: CR and LF become blanks, so a value can never
// add keys or sections to the file.
std::string formatText(const std::string& text);

}  // namespace SettingsValues
