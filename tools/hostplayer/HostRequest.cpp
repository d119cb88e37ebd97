#include "HostRequest.h"

#include <cinttypes>
#include <cstdio>

namespace {

std::string copyText(const char* text) { return text ? std::string(text) : std::string(); }

template <typename... Values>
std::string formatted(const char* format, Values... values) {
    char line[64];
    std::snprintf(line, sizeof line, format, values...);
    return line;
}

void copyFields(HostRequest& seen, const DialogRecord& record) { seen.window = record.window; }

void copyFields(HostRequest& seen, const AlertRecord& record) {
    seen.alertText = copyText(record.text);
    seen.alertStyle = copyText(record.style);
    seen.alertValues[0] = record.firstValue;
    seen.alertValues[1] = record.secondValue;
    seen.alertValues[2] = record.thirdValue;
    seen.alertTrailing[0] = record.reserved1;
    seen.alertTrailing[1] = record.reserved2;
}

void copyFields(HostRequest& seen, const PrefsRecord& record) {
    seen.prefsOne = record.one;
    seen.pageName = copyText(record.pageName);
    seen.prefsTrailing = record.reserved;
}

void copyFields(HostRequest& seen, const BroadcastRecord& record) {
    seen.subscription = record.subscription;
    seen.callback = record.callback;
    seen.userValue = record.userValue;
}

void copyFields(HostRequest& seen, const MessageRecord& record) {
    seen.medium = copyText(record.medium);
    seen.connection = record.connection;
    seen.partyName = copyText(record.name);
    seen.type = copyText(record.type);
    seen.text = copyText(record.text);
    seen.trailingText = reinterpret_cast<uintptr_t>(record.unusedText);
    seen.trailingValue = record.unusedValue;
}

// Each request the plug-in sends: its record's size, how its fields are
// copied and how it is put into words.
struct RequestKind {
    const char* name;
    uint32_t recordSize;
    void (*copy)(HostRequest& seen, const void* record);
    std::string (*describe)(const HostRequest& seen);
};

template <typename Record>
void copyAs(HostRequest& seen, const void* record) {
    copyFields(seen, *static_cast<const Record*>(record));
}

const RequestKind kRequestKinds[] = {
    {"dialogAdd", sizeof(DialogRecord), copyAs<DialogRecord>,
     [](const HostRequest& seen) { return "adds its page, window " + pointerText(seen.window); }},
    {"dialogRemove", sizeof(DialogRecord), copyAs<DialogRecord>,
     [](const HostRequest& seen) {
         return "removes its page, window " + pointerText(seen.window);
     }},
    {"systraySetAlert", sizeof(AlertRecord), copyAs<AlertRecord>,
     [](const HostRequest& seen) {
         return quoted(seen.alertText.c_str()) + " (style " + quoted(seen.alertStyle.c_str()) +
                formatted(", values %d %d %d)", seen.alertValues[0], seen.alertValues[1],
                          seen.alertValues[2]);
     }},
    {"prefsInitialize", sizeof(PrefsRecord), copyAs<PrefsRecord>,
     [](const HostRequest& seen) { return "registers the page " + quoted(seen.pageName.c_str()); }},
    {"messageBroadcastEnable", sizeof(BroadcastRecord), copyAs<BroadcastRecord>,
     [](const HostRequest& seen) {
         return "subscribes to messages, callback " +
                pointerText(reinterpret_cast<const void*>(seen.callback)) +
                formatted(", user value %d", seen.userValue);
     }},
    {"messageBroadcastDisable", sizeof(BroadcastRecord), copyAs<BroadcastRecord>,
     [](const HostRequest& seen) { return formatted("ends subscription %d", seen.subscription); }},
    {"messageSend", sizeof(MessageRecord), copyAs<MessageRecord>,
     [](const HostRequest& seen) {
         return "to " + quoted(seen.partyName.c_str()) + " over " + quoted(seen.medium.c_str()) +
                formatted(" (connection %d), type ", seen.connection) +
                quoted(seen.type.c_str()) + ": " + quoted(seen.text.c_str());
     }},
};

const RequestKind* kindOf(const std::string& request) {
    for (const RequestKind& kind : kRequestKinds) {
        if (request == kind.name) return &kind;
    }
    return nullptr;
}

}  // namespace

HostRequest readRequest(const char* identity, const char* request, const void* record) {
    HostRequest seen;
    seen.identity = copyText(identity);
    seen.name = copyText(request);
    seen.withRecord = record != nullptr;
    if (!record) return seen;
    seen.recordSize = *static_cast<const uint32_t*>(record);
    const RequestKind* kind = kindOf(seen.name);
    seen.recordRead = kind && seen.recordSize == kind->recordSize;
    if (seen.recordRead) kind->copy(seen, record);
    return seen;
}

std::string describeRequest(const HostRequest& request) {
    const std::string head = request.name + ": ";
    if (!request.withRecord) return head + "without a record";
    const RequestKind* kind = kindOf(request.name);
    if (!kind) return head + formatted("unknown request, record size %u", request.recordSize);
    if (!request.recordRead) {
        return head + formatted("record size %u where %u belongs", request.recordSize,
                                kind->recordSize);
    }
    return head + kind->describe(request);
}

std::string quoted(const char* text) { return text ? "\"" + std::string(text) + "\"" : "(null)"; }

std::string pointerText(const void* pointer) {
    return formatted("0x%08" PRIxPTR, reinterpret_cast<uintptr_t>(pointer));
}
