// Crashes on purpose, so that the test run can show that a crash under Wine
// ends a test program with a failure instead of hanging it.
//   crash_probe plugin  the DLL, loaded by the test host, reads a bad record
//   crash_probe plain   a plain program crashes without any filter
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "TestHost.h"

namespace {

// A record pointer into the never-mapped first page of the address space.
void* const kBadRecord = reinterpret_cast<void*>(uintptr_t(16));

// Without a TestHost, whose settings directory a crash would leave behind,
// but with the same crash filter.
void crashInsidePlugin() {
    installCrashFilter();
    HMODULE module = LoadLibraryA(builtDllPath().c_str());
    auto pluginMain = reinterpret_cast<int32_t(__cdecl*)(const char*, void*)>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "plugin_main")));
    if (pluginMain) pluginMain("load", kBadRecord);
}

void crashPlainly() {
    // A volatile pointer, so that the compiler cannot see where it points.
    int* volatile nowhere = static_cast<int*>(kBadRecord);
    *nowhere = 1;
}

}  // namespace

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "";
    if (std::strcmp(mode, "plugin") == 0) {
        crashInsidePlugin();
    } else if (std::strcmp(mode, "plain") == 0) {
        crashPlainly();
    } else {
        std::fprintf(stderr, "usage: crash_probe plugin|plain\n");
        return 2;
    }
    std::fprintf(stderr, "crash_probe: no crash happened\n");
    return 0;
}
