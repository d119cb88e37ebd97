// Plays another process that has the module loaded and holds the queue's
// named mutex for a while: lock_holder NAME MILLISECONDS READY_EVENT. It
// signals READY_EVENT once it holds the mutex, then holds it that long.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    HANDLE mutex = CreateMutexA(nullptr, FALSE, argv[1]);
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[3]);
    if (!mutex || !ready || WaitForSingleObject(mutex, INFINITE) != WAIT_OBJECT_0) return 1;
    SetEvent(ready);
    Sleep(std::strtoul(argv[2], nullptr, 10));
    ReleaseMutex(mutex);
    CloseHandle(ready);
    CloseHandle(mutex);
    return 0;
}
