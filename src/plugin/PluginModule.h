#pragma once
#include <windows.h>

#include <cstdint>

class RelayPlugin;

// Module-wide state: the instance handle and the one plug-in object.
HINSTANCE moduleHandle();
RelayPlugin* pluginObject();

// Registered with "messageBroadcastEnable"; the host calls it for every
// message event.
int32_t __cdecl messageBroadcastCallback(int32_t first, int32_t second, const char* eventName,
                                         void* record, int32_t fifth);

extern "C" {
__declspec(dllexport) int32_t __cdecl plugin_main(const char* eventName, void* record);
__declspec(dllexport) int32_t __cdecl plugin_version();
}
