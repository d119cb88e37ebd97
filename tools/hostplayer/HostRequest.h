#pragma once
// One request that the plug-in sent through the service function, as the
// client saw it: copies of its record's fields, and the request in words.
#include <windows.h>

#include <cstdint>
#include <string>

#include "plugin/HostRecords.h"

// The identity, the name and whether a record came are always filled; the
// record size when one came. The other fields only when the record has the
// size of this request's record, for the request types named beside them
// (texts copied, null pointers as empty texts).
struct HostRequest {
    std::string identity;
    std::string name;
    bool withRecord = false;
    uint32_t recordSize = 0;
    bool recordRead = false;  // the record had its request's size: the fields below are filled

    // "dialogAdd", "dialogRemove"
    HWND window = nullptr;

    // "systraySetAlert"
    std::string alertText;
    std::string alertStyle;
    int32_t alertValues[3] = {0, 0, 0};
    uint32_t alertTrailing[2] = {0, 0};

    // "prefsInitialize"
    int32_t prefsOne = 0;
    std::string pageName;
    uint32_t prefsTrailing = 0;

    // "messageBroadcastEnable", "messageBroadcastDisable"
    int32_t subscription = 0;
    MessageBroadcastCallback callback = nullptr;
    int32_t userValue = 0;

    // "messageSend"
    std::string medium;
    int32_t connection = 0;
    std::string partyName;
    std::string type;
    std::string text;
    uintptr_t trailingText = 0;  // the pointer at offset 24, as a number
    int32_t trailingValue = 0;   // the value at offset 28
};

// Copies what the service function was given.
HostRequest readRequest(const char* identity, const char* request, const void* record);

// The request in one line, as the host simulator prints it: the name, then
// what it asks for, or what is wrong with its record.
std::string describeRequest(const HostRequest& request);

// A text quoted; a null pointer as (null).
std::string quoted(const char* text);
std::string pointerText(const void* pointer);
