#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/Settings.h"

// One key of the INI file: its name, the text read when the key is missing,
// and the Settings field it holds (exactly one of the three is set). A
// number outside its range reads as the fallback. A secret text is stored
// protected; the conversions here see it as stored, and the file's reader
// and writer protect and unprotect it.
struct SettingsKey {
    const char* name;
    const char* fallback;
    bool Settings::*switchField;
    int32_t Settings::*numberField;
    std::string Settings::*textField;
    int32_t minimum = INT32_MIN;
    int32_t maximum = INT32_MAX;
    bool secret = false;
};

const size_t kSettingsKeyCount = 32;

// Every key, in the order in which the file is read and written.
extern const SettingsKey kSettingsKeys[kSettingsKeyCount];

// The key's field in its stored form.
std::string storedValue(const Settings& settings, const SettingsKey& key);
// Sets the key's field from its stored form.
void assignStored(Settings& settings, const SettingsKey& key, const std::string& stored);
