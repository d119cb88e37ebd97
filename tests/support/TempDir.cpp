#include "TempDir.h"

#include <windows.h>

#include <stdexcept>

namespace {

unsigned nextSerial() {
    static unsigned serial = 0;
    return ++serial;
}

// Removes a directory with everything below it.
void removeTree(const std::string& directory) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((directory + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string full = directory + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(full + "\\");
            } else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(directory.c_str());
}

}  // namespace

TempDir::TempDir() {
    char base[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, base);
    if (length == 0 || length >= MAX_PATH) throw std::runtime_error("no temporary directory");
    for (;;) {
        path_ = std::string(base) + "tolvane-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(nextSerial()) + "\\";
        if (CreateDirectoryA(path_.c_str(), nullptr)) return;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot create " + path_);
    }
}

TempDir::~TempDir() { removeTree(path_); }
