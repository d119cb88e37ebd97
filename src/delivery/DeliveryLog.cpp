#include "delivery/DeliveryLog.h"

#include <windows.h>

namespace {

const char kLineEnd[] = "\r\n";

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (valid()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

HANDLE openForAppend(const std::string& path) {
    return CreateFileA(path.c_str(), FILE_APPEND_DATA,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::uint64_t sizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Long enough for another thread's line and roll-over; a line that waits
// longer is dropped rather than hold up its thread.
const DWORD kTurnWaitMs = 1000;

// One mutex for every writer of the module, made when the module loads and
// closed when it unloads, so that a host that loads it again and again keeps
// no handle of each load. (A function's own static would bring the
// runtime's first-use guard, and most of the threads library, into the DLL.)
struct WriterMutex {
    HANDLE handle = CreateMutexA(nullptr, FALSE, nullptr);
    ~WriterMutex() {
        if (handle) CloseHandle(handle);
    }
};
const WriterMutex writerMutex;

// One turn at the log files.
class WriterTurn {
public:
    // Without a mutex (none could be made) every writer goes ahead.
    WriterTurn() : mutex_(writerMutex.handle) {
        const DWORD waited = mutex_ ? WaitForSingleObject(mutex_, kTurnWaitMs) : WAIT_OBJECT_0;
        held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
    ~WriterTurn() {
        if (held_ && mutex_) ReleaseMutex(mutex_);
    }
    WriterTurn(const WriterTurn&) = delete;
    WriterTurn& operator=(const WriterTurn&) = delete;
    bool held() const { return held_; }

private:
    HANDLE mutex_;
    bool held_ = false;
};

}  // namespace

DeliveryLog::DeliveryLog(const std::string& directory)
    : path_(directory.empty() ? std::string() : directory + kFileName) {}

void DeliveryLog::append(const std::string& line) {
    if (path_.empty()) return;
    const std::string bytes = line + kLineEnd;
    const WriterTurn turn;
    if (!turn.held()) return;
    const std::uint64_t size = sizeOf(path_);
    if (size > 0 && size + bytes.size() >= kLimitBytes &&
        !MoveFileExA(path_.c_str(), (path_ + kOlderSuffix).c_str(), MOVEFILE_REPLACE_EXISTING)) {
        // The older log cannot be replaced (read-only, or open in a viewer):
        // this one starts again rather than grow past its limit, and when
        // even that fails the line is lost.
        FileHandle emptied(CreateFileA(path_.c_str(), GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!emptied.valid()) return;
    }
    FileHandle file(openForAppend(path_));
    if (!file.valid()) return;
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}
