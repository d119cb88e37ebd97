#pragma once
#include <string>

// A fresh, empty directory under the Windows temporary directory, removed
// with everything in it when the object goes away. Each object gets a new
// name, so Wine's profile cache never holds an entry for its files.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Windows path ending with a backslash, e.g. "C:\users\...\Temp\tolvane-12-3\".
    const std::string& path() const { return path_; }
    // path() followed by the file name.
    std::string file(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};
