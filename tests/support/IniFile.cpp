#include "IniFile.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <sstream>

namespace {

std::vector<std::string> fileLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool sectionHeader(const std::string& line, std::string& name) {
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') return false;
    name = line.substr(1, line.size() - 2);
    return true;
}

IniEntry entryOf(const std::string& line) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return {line, ""};
    return {line.substr(0, equals), line.substr(equals + 1)};
}

}  // namespace

bool IniFile::exists() const {
    return GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string IniFile::text() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<IniEntry> IniFile::entries(const std::string& section) const {
    std::vector<IniEntry> found;
    std::string current;
    bool inside = false;
    for (const std::string& line : fileLines(text())) {
        if (sectionHeader(line, current)) {
            inside = current == section;
        } else if (inside && !line.empty()) {
            found.push_back(entryOf(line));
        }
    }
    return found;
}

std::string IniFile::value(const std::string& section, const std::string& key,
                           const std::string& missing) const {
    for (const IniEntry& entry : entries(section)) {
        if (entry.first == key) return entry.second;
    }
    return missing;
}

std::vector<std::string> IniFile::sections() const {
    std::vector<std::string> found;
    std::string name;
    for (const std::string& line : fileLines(text())) {
        if (sectionHeader(line, name)) found.push_back(name);
    }
    return found;
}

void IniFile::writeThroughProfile(const std::vector<IniEntry>& entries,
                                  const std::string& section) const {
    for (const IniEntry& entry : entries) {
        WritePrivateProfileStringA(section.c_str(), entry.first.c_str(), entry.second.c_str(),
                                   path_.c_str());
    }
}

void IniFile::writeBytes(const std::string& bytes) const {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out << bytes;
}
