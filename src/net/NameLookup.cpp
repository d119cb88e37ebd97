#include "net/NameLookup.h"

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <new>

#include "net/AbortSignal.h"

namespace NameLookup {

namespace {

const WORD kWinsockVersion = 0x0101;
// How often a wait looks at the abort signal.
const DWORD kAbortCheckMs = 50;

// Shared by the caller and the lookup thread; the last one to let go of it
// frees it.
struct Lookup {
    std::string name;
    std::atomic<bool> found{false};
    uint32_t address = 0;
    HANDLE done = nullptr;
    std::atomic<int> holders{2};

    void release() {
        if (--holders > 0) return;
        CloseHandle(done);
        delete this;
    }
};

DWORD WINAPI lookUp(LPVOID parameter) {
    Lookup* lookup = static_cast<Lookup*>(parameter);
    WSADATA data;
    if (WSAStartup(kWinsockVersion, &data) == 0) {
        const hostent* host = gethostbyname(lookup->name.c_str());
        if (host && host->h_addrtype == AF_INET && host->h_addr_list && host->h_addr_list[0]) {
            std::memcpy(&lookup->address, host->h_addr_list[0], sizeof lookup->address);
            lookup->found = true;
        }
        WSACleanup();
    }
    SetEvent(lookup->done);
    lookup->release();
    return 0;
}

// The thread keeps the module loaded until it has returned, so that an
// abandoned lookup can end after the plug-in was unloaded.
DWORD WINAPI lookUpHoldingModule(LPVOID parameter) {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCSTR>(&lookUpHoldingModule), &module);
    lookUp(parameter);
    if (module) FreeLibraryAndExitThread(module, 0);
    return 0;
}

}  // namespace

Result ipv4Address(const std::string& name, uint32_t limitMs, AbortSignal* abort, uint32_t& address) {
    if (name.empty()) return Result::NotFound;
    const unsigned long dotted = inet_addr(name.c_str());
    if (dotted != INADDR_NONE) {
        address = dotted;
        return Result::Found;
    }
    Lookup* lookup = new (std::nothrow) Lookup;
    if (!lookup) return Result::NotFound;
    lookup->name = name;
    lookup->done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const HANDLE thread =
        lookup->done ? CreateThread(nullptr, 0, &lookUpHoldingModule, lookup, 0, nullptr) : nullptr;
    if (!thread) {
        if (lookup->done) CloseHandle(lookup->done);
        delete lookup;
        return Result::NotFound;
    }
    CloseHandle(thread);
    Result result = Result::TimedOut;
    const DWORD start = GetTickCount();
    for (;;) {
        if (abort && abort->raised()) {
            result = Result::Stopped;
            break;
        }
        const DWORD waited = GetTickCount() - start;
        if (waited >= limitMs) break;
        const DWORD slice = limitMs - waited < kAbortCheckMs ? limitMs - waited : kAbortCheckMs;
        if (WaitForSingleObject(lookup->done, slice) == WAIT_OBJECT_0) {
            result = lookup->found ? Result::Found : Result::NotFound;
            address = lookup->address;
            break;
        }
    }
    lookup->release();
    return result;
}

}  // namespace NameLookup
