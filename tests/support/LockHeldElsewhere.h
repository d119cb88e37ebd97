#pragma once
#include <windows.h>

// A second process that holds a named mutex for a given time, as another
// copy of the module does while it works on its queue. Tests that hold
// "ZTSMTPLock" this way for seconds have "SharedLock" in their names, so
// that they run alone.
class LockHeldElsewhere {
public:
    // Returns once the other process holds the mutex, or failed to.
    LockHeldElsewhere(const char* mutexName, DWORD holdMs);
    // Waits for the other process to let go and end.
    ~LockHeldElsewhere();
    LockHeldElsewhere(const LockHeldElsewhere&) = delete;
    LockHeldElsewhere& operator=(const LockHeldElsewhere&) = delete;

    bool holding() const { return holding_; }
    // Milliseconds since the other process took the mutex.
    DWORD heldFor() const { return GetTickCount() - takenAt_; }
    // Waits until the other process has let go and ended.
    void waitForRelease();

private:
    HANDLE process_ = nullptr;
    DWORD holdMs_;
    DWORD takenAt_ = 0;
    bool holding_ = false;
};
