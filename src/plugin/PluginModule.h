#pragma once
#include <windows.h>

#include <cstdint>

class RelayPlugin;

// The one plug-in object, null outside "load" to "unload": the seam through
// which in-process tests reach the requests the object sends.
RelayPlugin* pluginObject();

// Registered with "messageBroadcastEnable"; the host calls it for every
// message event.
int32_t __cdecl messageBroadcastCallback(int32_t first, int32_t second, const char* eventName,
                                         void* record, int32_t fifth);

extern "C" {
__declspec(dllexport) int32_t __cdecl plugin_main(const char* eventName, void* record);
__declspec(dllexport) int32_t __cdecl plugin_version();
}
