#include "settings/Settings.h"

#include <windows.h>

#include "settings/ProtectedText.h"
#include "settings/SettingsKey.h"

namespace {

const char kFileName[] = "IMTolvane.ini";
const char kSection[] = "IM Tolvane";
// The profile functions store at most this less one byte of a value.
const DWORD kReadBufferSize = 2048;

// Built again for every load and save; the directory ends with a separator.
std::string settingsPath(const std::string& directory) { return directory + kFileName; }

std::string readStored(const std::string& path, const SettingsKey& key) {
    char buffer[kReadBufferSize];
    GetPrivateProfileStringA(kSection, key.name, key.fallback, buffer, kReadBufferSize,
                             path.c_str());
    return buffer;
}

}  // namespace

void Settings::load(const std::string& directory) {
    const std::string path = settingsPath(directory);
    unreadableSecrets.clear();
    for (const SettingsKey& key : kSettingsKeys) {
        const std::string stored = readStored(path, key);
        if (!key.secret) {
            assignStored(*this, key, stored);
            continue;
        }
        const std::string clear = ProtectedText::unprotect(stored);
        if (clear.empty() && !stored.empty()) unreadableSecrets[key.name] = stored;
        assignStored(*this, key, clear);
    }
}

void Settings::save(const std::string& directory) const {
    const std::string path = settingsPath(directory);
    for (const SettingsKey& key : kSettingsKeys) {
        const std::string value = storedValue(*this, key);
        std::string stored = key.secret ? ProtectedText::protect(value) : value;
        const auto unreadable = unreadableSecrets.find(key.name);
        if (key.secret && value.empty() && unreadable != unreadableSecrets.end()) stored = unreadable->second;
        WritePrivateProfileStringA(kSection, key.name, stored.c_str(), path.c_str());
    }
}
