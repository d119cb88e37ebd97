#include "TempDir.h"

#include <windows.h>

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace {

unsigned nextSerial() {
    static unsigned serial = 0;
    return ++serial;
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

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}
