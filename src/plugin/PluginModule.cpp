#include "plugin/PluginModule.h"

#include <cstring>
#include <new>

#include "plugin/EventName.h"
#include "plugin/MessageEvent.h"
#include "plugin/RelayPlugin.h"

namespace {

const int32_t kInterfaceVersion = 1;
const char kMessageBroadcast[] = "message_broadcast";

HINSTANCE module = nullptr;
RelayPlugin* plugin = nullptr;

void loadEvent(void* record) {
    // A second "load" keeps the object that exists, so nothing leaks.
    if (!record || plugin) return;
    plugin = new (std::nothrow) RelayPlugin();
    if (!plugin) return;
    plugin->attachHost(module, static_cast<PluginInfoRecord*>(record));
    plugin->onLoad();
}

void unloadEvent(void*) {
    if (plugin) plugin->onUnload();
    delete plugin;
    plugin = nullptr;
}

void initialLoadEvent(void*) {
    if (plugin) plugin->onInitialLoad();
}

void startEvent(void*) {
    if (plugin) plugin->onStart();
}

void stopEvent(void*) {
    if (plugin) plugin->onStop();
}

void finalUnloadEvent(void*) {
    if (plugin) plugin->onFinalUnload();
}

// Answered only for the registered page, compared byte for byte.
void prefsShowEvent(void* record) {
    if (!plugin || !record) return;
    PrefsShowRecord& show = *static_cast<PrefsShowRecord*>(record);
    const char* registered = plugin->registeredPageName();
    if (!registered || !show.pageName || std::strcmp(show.pageName, registered) != 0) return;
    plugin->onPrefsShow(show);
}

void prefsActionEvent(void* record) {
    if (plugin && record) plugin->onPrefsAction(*static_cast<const PrefsActionRecord*>(record));
}

struct EventRoute {
    const char* name;
    void (*handle)(void* record);
};

// In the order the names are compared; the first equal name decides.
const EventRoute kEventRoutes[] = {
    {"load", loadEvent},
    {"initialLoad", initialLoadEvent},
    {"start", startEvent},
    {"stop", stopEvent},
    {"unload", unloadEvent},
    {"finalUnload", finalUnloadEvent},
    {"prefsShow", prefsShowEvent},
    {"prefsAction", prefsActionEvent},
};

void dispatch(const char* eventName, void* record) {
    for (const EventRoute& route : kEventRoutes) {
        if (sameEventName(eventName, route.name)) {
            route.handle(record);
            return;
        }
    }
}

}  // namespace

RelayPlugin* pluginObject() { return plugin; }

int32_t __cdecl messageBroadcastCallback(int32_t first, int32_t second, const char* eventName,
                                         void* record, int32_t fifth) {
    if (!eventName || std::strcmp(eventName, kMessageBroadcast) != 0) return 0;
    if (!plugin || !record) return 0;
    // Nothing may be thrown into the host, not even running out of memory.
    try {
        const MessageEvent event = makeMessageEvent(*static_cast<const MessageRecord*>(record));
        plugin->onMessageBroadcast(first, second, eventName, event, fifth);
    } catch (...) {
    }
    return 0;
}

extern "C" int32_t __cdecl plugin_main(const char* eventName, void* record) {
    try {
        if (eventName) dispatch(eventName, record);
    } catch (...) {
    }
    return 0;
}

extern "C" int32_t __cdecl plugin_version() { return kInterfaceVersion; }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    module = instance;
    return TRUE;
}
