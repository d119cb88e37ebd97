#include "RequestDescription.h"

#include <cinttypes>
#include <cstdio>
#include <map>

#include "plugin/HostRecords.h"

namespace {

template <typename... Values>
std::string formatted(const char* format, Values... values) {
    char line[64];
    std::snprintf(line, sizeof line, format, values...);
    return line;
}

std::string dialogAdd(const DialogRecord& record) {
    return "adds its page, window " + pointerText(record.window);
}

std::string dialogRemove(const DialogRecord& record) {
    return "removes its page, window " + pointerText(record.window);
}

std::string systraySetAlert(const AlertRecord& record) {
    return quoted(record.text) + " (style " + quoted(record.style) +
           formatted(", values %d %d %d)", record.firstValue, record.secondValue,
                     record.thirdValue);
}

std::string prefsInitialize(const PrefsRecord& record) {
    return "registers the page " + quoted(record.pageName);
}

std::string messageBroadcastEnable(const BroadcastRecord& record) {
    return "subscribes to messages, callback " +
           pointerText(reinterpret_cast<const void*>(record.callback)) +
           formatted(", user value %d", record.userValue);
}

std::string messageBroadcastDisable(const BroadcastRecord& record) {
    return formatted("ends subscription %d", record.subscription);
}

std::string messageSend(const MessageRecord& record) {
    return "to " + quoted(record.name) + " over " + quoted(record.medium) +
           formatted(" (connection %d), type ", record.connection) + quoted(record.type) + ": " +
           quoted(record.text);
}

struct Describer {
    uint32_t size;
    std::string (*describe)(const void* record);
};

template <typename Record, std::string (*describe)(const Record&)>
Describer describerOf() {
    return {sizeof(Record),
            [](const void* record) { return describe(*static_cast<const Record*>(record)); }};
}

const std::map<std::string, Describer>& describers() {
    static const std::map<std::string, Describer> table = {
        {"dialogAdd", describerOf<DialogRecord, dialogAdd>()},
        {"dialogRemove", describerOf<DialogRecord, dialogRemove>()},
        {"systraySetAlert", describerOf<AlertRecord, systraySetAlert>()},
        {"prefsInitialize", describerOf<PrefsRecord, prefsInitialize>()},
        {"messageBroadcastEnable", describerOf<BroadcastRecord, messageBroadcastEnable>()},
        {"messageBroadcastDisable", describerOf<BroadcastRecord, messageBroadcastDisable>()},
        {"messageSend", describerOf<MessageRecord, messageSend>()},
    };
    return table;
}

}  // namespace

std::string describeRequest(const std::string& request, const void* record) {
    const std::string head = request + ": ";
    if (!record) return head + "without a record";
    const uint32_t size = *static_cast<const uint32_t*>(record);
    auto found = describers().find(request);
    if (found == describers().end()) {
        return head + formatted("unknown request, record size %u", size);
    }
    const Describer& describer = found->second;
    if (size != describer.size) {
        return head + formatted("record size %u where %u belongs", size, describer.size);
    }
    return head + describer.describe(record);
}

std::string quoted(const char* text) { return text ? "\"" + std::string(text) + "\"" : "(null)"; }

std::string pointerText(const void* pointer) {
    return formatted("0x%08" PRIxPTR, reinterpret_cast<uintptr_t>(pointer));
}
