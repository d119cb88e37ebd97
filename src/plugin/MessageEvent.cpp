#include "plugin/MessageEvent.h"

#include "plugin/HostRecords.h"
#include "forward/StripMarkup.h"

namespace {

std::string copyText(const char* text) { return text ? std::string(text) : std::string(); }

}  // namespace

MessageEvent makeMessageEvent(const MessageRecord& record) {
    MessageEvent event;
    event.medium = copyText(record.medium);
    event.connection = record.connection;
    event.name = copyText(record.name);
    event.type = copyText(record.type);
    if (record.text) event.plainText = stripMarkup(record.text);
    return event;
}
