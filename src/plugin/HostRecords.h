#pragma once
// The records that cross the host boundary. Every field is 4 bytes wide and
// little-endian, pointers are 32-bit, texts are zero-terminated 8-bit.
// Records the plug-in builds are zero-filled and begin with their own size.
#include <windows.h>

#include <cstddef>
#include <cstdint>

// The offsets below are the client's 32-bit layout, pinned in the 32-bit
// build. A 64-bit test build lays the same fields out naturally (pointers
// and handles 8 bytes, each size field its record's sizeof).
constexpr bool kClientLayout = sizeof(void*) == 4;
constexpr bool pinned(size_t actual, size_t client) { return !kClientLayout || actual == client; }

// The host's one service function: identity text, request name, record.
typedef int32_t(__cdecl* HostService)(const char* identity, const char* request, void* record);

// The callback registered with "messageBroadcastEnable".
typedef int32_t(__cdecl* MessageBroadcastCallback)(int32_t first, int32_t second,
                                                   const char* eventName, void* record,
                                                   int32_t fifth);

// Passed by the host with "load"; the plug-in writes from offset 20 on.
struct PluginInfoRecord {
    uint32_t hostSize;
    const char* settingsDirectory;  // ends with a path separator
    const char* unusedText;
    uint32_t hostReserved;
    HostService service;            // null: no request can be sent
    char identity[128];
    char name[256];
    char author[256];
    char version[64];
    char description[1024];
};
static_assert(pinned(offsetof(PluginInfoRecord, settingsDirectory), 4), "PluginInfoRecord layout");
static_assert(pinned(offsetof(PluginInfoRecord, unusedText), 8), "PluginInfoRecord layout");
static_assert(pinned(offsetof(PluginInfoRecord, service), 16), "PluginInfoRecord layout");
static_assert(pinned(offsetof(PluginInfoRecord, identity), 20), "PluginInfoRecord layout");
static_assert(pinned(offsetof(PluginInfoRecord, name), 148), "PluginInfoRecord layout");
static_assert(pinned(offsetof(PluginInfoRecord, author), 404), "PluginInfoRecord layout");
static_assert(pinned(offsetof(PluginInfoRecord, version), 660), "PluginInfoRecord layout");
static_assert(pinned(offsetof(PluginInfoRecord, description), 724), "PluginInfoRecord layout");
static_assert(pinned(sizeof(PluginInfoRecord), 1748), "PluginInfoRecord layout");

// "dialogAdd", "dialogRemove".
struct DialogRecord {
    uint32_t size;
    HWND window;
};
static_assert(pinned(offsetof(DialogRecord, window), 4), "DialogRecord layout");
static_assert(pinned(sizeof(DialogRecord), 8), "DialogRecord layout");

// "systraySetAlert".
struct AlertRecord {
    uint32_t size;
    const char* text;
    const char* style;
    int32_t firstValue;
    int32_t secondValue;
    int32_t thirdValue;
    uint32_t reserved1;
    uint32_t reserved2;
};
static_assert(pinned(offsetof(AlertRecord, text), 4), "AlertRecord layout");
static_assert(pinned(offsetof(AlertRecord, style), 8), "AlertRecord layout");
static_assert(pinned(offsetof(AlertRecord, firstValue), 12), "AlertRecord layout");
static_assert(pinned(offsetof(AlertRecord, secondValue), 16), "AlertRecord layout");
static_assert(pinned(offsetof(AlertRecord, thirdValue), 20), "AlertRecord layout");
static_assert(pinned(offsetof(AlertRecord, reserved1), 24), "AlertRecord layout");
static_assert(pinned(offsetof(AlertRecord, reserved2), 28), "AlertRecord layout");
static_assert(pinned(sizeof(AlertRecord), 32), "AlertRecord layout");

// "prefsInitialize".
struct PrefsRecord {
    uint32_t size;
    int32_t one;
    const char* pageName;
    uint32_t reserved;
};
static_assert(pinned(offsetof(PrefsRecord, one), 4), "PrefsRecord layout");
static_assert(pinned(offsetof(PrefsRecord, pageName), 8), "PrefsRecord layout");
static_assert(pinned(offsetof(PrefsRecord, reserved), 12), "PrefsRecord layout");
static_assert(pinned(sizeof(PrefsRecord), 16), "PrefsRecord layout");

// "messageBroadcastEnable" (callback and user value) and
// "messageBroadcastDisable" (the subscription that enable returned).
struct BroadcastRecord {
    uint32_t size;
    int32_t subscription;
    MessageBroadcastCallback callback;
    int32_t userValue;
};
static_assert(pinned(offsetof(BroadcastRecord, subscription), 4), "BroadcastRecord layout");
static_assert(pinned(offsetof(BroadcastRecord, callback), 8), "BroadcastRecord layout");
static_assert(pinned(offsetof(BroadcastRecord, userValue), 12), "BroadcastRecord layout");
static_assert(pinned(sizeof(BroadcastRecord), 16), "BroadcastRecord layout");

// Received by the broadcast callback; built by the plug-in for "messageSend".
struct MessageRecord {
    uint32_t size;
    const char* medium;
    int32_t connection;
    const char* name;
    const char* type;
    const char* text;
    const char* unusedText;
    int32_t unusedValue;
};
static_assert(pinned(offsetof(MessageRecord, medium), 4), "MessageRecord layout");
static_assert(pinned(offsetof(MessageRecord, connection), 8), "MessageRecord layout");
static_assert(pinned(offsetof(MessageRecord, name), 12), "MessageRecord layout");
static_assert(pinned(offsetof(MessageRecord, type), 16), "MessageRecord layout");
static_assert(pinned(offsetof(MessageRecord, text), 20), "MessageRecord layout");
static_assert(pinned(offsetof(MessageRecord, unusedText), 24), "MessageRecord layout");
static_assert(pinned(offsetof(MessageRecord, unusedValue), 28), "MessageRecord layout");
static_assert(pinned(sizeof(MessageRecord), 32), "MessageRecord layout");

// Passed by the host with "prefsShow"; the plug-in writes from offset 32 on.
struct PrefsShowRecord {
    uint32_t hostSize;
    int32_t showFlag;          // 1 show the page, 0 hide it
    const char* pageName;
    uint32_t hostReserved1;
    HWND parentWindow;
    int32_t x;
    int32_t y;
    uint32_t hostReserved2;
    char pluginPageName[128];
    char pluginPageDescription[1024];
    HBITMAP bitmap;
};
static_assert(pinned(offsetof(PrefsShowRecord, showFlag), 4), "PrefsShowRecord layout");
static_assert(pinned(offsetof(PrefsShowRecord, pageName), 8), "PrefsShowRecord layout");
static_assert(pinned(offsetof(PrefsShowRecord, parentWindow), 16), "PrefsShowRecord layout");
static_assert(pinned(offsetof(PrefsShowRecord, x), 20), "PrefsShowRecord layout");
static_assert(pinned(offsetof(PrefsShowRecord, y), 24), "PrefsShowRecord layout");
static_assert(pinned(offsetof(PrefsShowRecord, pluginPageName), 32), "PrefsShowRecord layout");
static_assert(pinned(offsetof(PrefsShowRecord, pluginPageDescription), 160),
              "PrefsShowRecord layout");
static_assert(pinned(offsetof(PrefsShowRecord, bitmap), 1184), "PrefsShowRecord layout");
static_assert(pinned(sizeof(PrefsShowRecord), 1188), "PrefsShowRecord layout");

// Passed by the host with "prefsAction": 0 cancel, 1 apply, 2 confirm.
struct PrefsActionRecord {
    uint32_t hostSize;
    int32_t action;
};
static_assert(pinned(offsetof(PrefsActionRecord, action), 4), "PrefsActionRecord layout");
static_assert(pinned(sizeof(PrefsActionRecord), 8), "PrefsActionRecord layout");
