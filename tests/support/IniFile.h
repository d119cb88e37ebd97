#pragma once
// Reads an INI file's bytes directly, without the profile functions and
// their cache, and writes fixtures.
#include <string>
#include <utility>
#include <vector>

// One key as it stands in the file.
using IniEntry = std::pair<std::string, std::string>;

class IniFile {
public:
    explicit IniFile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }
    bool exists() const;
    // The file's bytes; empty when there is no file.
    std::string text() const;
    // The keys of a section in file order.
    std::vector<IniEntry> entries(const std::string& section) const;
    // The value of a key of a section; `missing` when there is no such key.
    std::string value(const std::string& section, const std::string& key,
                      const std::string& missing = std::string()) const;
    // The names of the sections in file order.
    std::vector<std::string> sections() const;

    // Writes keys through WritePrivateProfileStringA, so that Wine's profile
    // cache and the file agree.
    void writeThroughProfile(const std::vector<IniEntry>& entries,
                             const std::string& section) const;
    // Writes the file's bytes directly. Only safe before anything in this
    // process has opened the file through the profile functions.
    void writeBytes(const std::string& bytes) const;

private:
    std::string path_;
};
