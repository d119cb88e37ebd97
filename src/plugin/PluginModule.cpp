#include "plugin/PluginModule.h"

#include <cstring>
#include <new>

#include "plugin/MessageEvent.h"
#include "plugin/RelayPlugin.h"
#include "plugin/StripMarkup.h"

namespace {

const int32_t kInterfaceVersion = 1;
const char kMessageBroadcast[] = "message_broadcast";

HINSTANCE module = nullptr;
RelayPlugin* plugin = nullptr;

// Host event names are compared without regard to the case of A to Z only.
bool sameEventName(const char* a, const char* b) {
    auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    for (; *a && *b; ++a, ++b) {
        if (fold(*a) != fold(*b)) return false;
    }
    return *a == *b;
}

std::string copyText(const char* text) { return text ? std::string(text) : std::string(); }

void load(PluginInfoRecord* record) {
    // A second "load" keeps the object that exists: nothing leaks.
    if (!record || plugin) return;
    plugin = new (std::nothrow) RelayPlugin();
    if (!plugin) return;
    plugin->attachHost(module, record);
    plugin->onLoad();
}

void unload() {
    if (plugin) {
        plugin->onUnload();
        delete plugin;
    }
    plugin = nullptr;
}

void showPrefs(PrefsShowRecord* record) {
    if (!record || !record->pageName) return;
    const char* registered = plugin->registeredPageName();
    if (registered && std::strcmp(record->pageName, registered) == 0) plugin->onPrefsShow(*record);
}

void dispatch(const char* eventName, void* record) {
    if (sameEventName(eventName, "load")) {
        load(static_cast<PluginInfoRecord*>(record));
    } else if (sameEventName(eventName, "unload")) {
        unload();
    } else if (!plugin) {
        return;
    } else if (sameEventName(eventName, "initialLoad")) {
        plugin->onInitialLoad();
    } else if (sameEventName(eventName, "start")) {
        plugin->onStart();
    } else if (sameEventName(eventName, "stop")) {
        plugin->onStop();
    } else if (sameEventName(eventName, "finalUnload")) {
        plugin->onFinalUnload();
    } else if (sameEventName(eventName, "prefsShow")) {
        showPrefs(static_cast<PrefsShowRecord*>(record));
    } else if (sameEventName(eventName, "prefsAction")) {
        if (record) plugin->onPrefsAction(*static_cast<PrefsActionRecord*>(record));
    }
}

}  // namespace

HINSTANCE moduleHandle() { return module; }
RelayPlugin* pluginObject() { return plugin; }

int32_t __cdecl messageBroadcastCallback(int32_t first, int32_t second, const char* eventName,
                                         void* record, int32_t fifth) {
    if (!eventName || std::strcmp(eventName, kMessageBroadcast) != 0) return 0;
    if (!plugin || !record) return 0;
    // Nothing may be thrown into the host, not even running out of memory.
    try {
        const MessageRecord& message = *static_cast<const MessageRecord*>(record);
        MessageEvent event;
        event.medium = copyText(message.medium);
        event.connection = message.connection;
        event.name = copyText(message.name);
        event.type = copyText(message.type);
        if (message.text) event.plainText = stripMarkup(message.text);
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
