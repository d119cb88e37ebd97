#include "SimulatedHost.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "RequestDescription.h"

namespace {

const char kHostText[] = "host simulator";
const char kIncomingPrivate[] = "incoming_privateMessage";
const char kMessageBroadcast[] = "message_broadcast";
const char* const kActionNames[] = {"cancel", "apply", "OK"};

SimulatedHost* currentHost = nullptr;

// A text field of a record the plug-in filled, read no further than its end.
template <std::size_t Size>
std::string fieldText(const char (&field)[Size]) {
    return std::string(field, strnlen(field, Size));
}

std::string number(int32_t value) { return std::to_string(value); }

// The record when it carries the size that this request's record has.
template <typename Record>
const Record* recordOf(const void* record) {
    if (!record || *static_cast<const uint32_t*>(record) != sizeof(Record)) return nullptr;
    return static_cast<const Record*>(record);
}

}  // namespace

SimulatedHost::SimulatedHost(Output output) : output_(std::move(output)) {
    std::memset(&info_, 0, sizeof info_);
    hostThread_ = GetCurrentThreadId();
    currentHost = this;
}

SimulatedHost::~SimulatedHost() {
    if (started_) stop();
    if (loaded_) unload();
    if (currentHost == this) currentHost = nullptr;
}

bool SimulatedHost::open(const std::string& dllPath, std::string& error) {
    if (!player_.open(dllPath, error)) return false;
    say(kHostPrefix, "loaded " + dllPath + ", interface version " + number(player_.version()));
    return true;
}

void SimulatedHost::load(const std::string& settingsDirectory) {
    settingsDirectory_ = settingsDirectory;
    info_ = HostPlayer::loadRecord(settingsDirectory_.c_str(), kHostText,
                                   &SimulatedHost::serviceFunction);
    say(kHostPrefix, "load, settings directory " + quoted(settingsDirectory_.c_str()));
    loaded_ = true;
    event("load", &info_);
    reportIdentity();
}

void SimulatedHost::reportIdentity() {
    say(kPluginPrefix, "is " + quoted(fieldText(info_.name).c_str()) + " " +
                           fieldText(info_.version) + " by " + fieldText(info_.author) + ": " +
                           fieldText(info_.description));
    say(kPluginPrefix, "identity " + fieldText(info_.identity));
}

void SimulatedHost::start() {
    say(kHostPrefix, "start");
    started_ = true;
    event("start", nullptr);
}

void SimulatedHost::stop() {
    say(kHostPrefix, "stop");
    started_ = false;
    event("stop", nullptr);
}

void SimulatedHost::unload() {
    say(kHostPrefix, "unload");
    started_ = false;
    loaded_ = false;
    event("unload", nullptr);
}

void SimulatedHost::deliver(const std::string& sender, const std::string& medium,
                            int32_t connection, const std::string& text) {
    const std::string heading =
        sender + " over " + medium + " (connection " + number(connection) + "): " + text;
    if (!subscribed_ || !callback_) {
        say(kHostPrefix, heading + " [not delivered: the plug-in has not subscribed]");
        return;
    }
    say(kHostPrefix, heading);
    MessageRecord record = HostPlayer::messageRecord(medium.c_str(), connection, sender.c_str(),
                                                     kIncomingPrivate, text.c_str());
    const int before = requestCount_;
    const int32_t result = callback_(0, 0, kMessageBroadcast, &record, 0);
    if (result != 0) say(kPluginPrefix, "the callback answered " + number(result));
    if (requestCount_ == before) say(kPluginPrefix, "no request");
}

void SimulatedHost::prefsShow(HWND parent, int32_t x, int32_t y, bool show) {
    if (registeredPage_.empty()) {
        say(kHostPrefix, "no preferences page to show: the plug-in registered none");
        return;
    }
    PrefsShowRecord record =
        HostPlayer::prefsShowRecord(show ? 1 : 0, registeredPage_.c_str(), parent, x, y);
    say(kHostPrefix, "prefsShow " + quoted(registeredPage_.c_str()) + (show ? ", show" : ", hide"));
    event("prefsShow", &record);
    say(kPluginPrefix, "page " + quoted(fieldText(record.pluginPageName).c_str()) + ": " +
                           fieldText(record.pluginPageDescription) + ", bitmap " +
                           pointerText(record.bitmap));
}

void SimulatedHost::prefsAction(int32_t action) {
    PrefsActionRecord record = HostPlayer::prefsActionRecord(action);
    std::string words = "prefsAction " + number(action);
    if (action >= 0 && action < static_cast<int32_t>(std::size(kActionNames))) {
        words += std::string(" (") + kActionNames[action] + ")";
    }
    say(kHostPrefix, words);
    event("prefsAction", &record);
}

int32_t SimulatedHost::event(const char* name, void* record) {
    const int32_t result = player_.event(name, record);
    if (result != 0) say(kPluginPrefix, std::string("plugin_main answered ") + number(result));
    return result;
}

int32_t __cdecl SimulatedHost::serviceFunction(const char* identity, const char* request,
                                               void* record) {
    return currentHost ? currentHost->serve(identity, request, record) : 0;
}

int32_t SimulatedHost::serve(const char* identity, const char* request, void* record) {
    ++requestCount_;
    const std::string name = request ? request : "(null)";
    std::string line = describeRequest(name, record);
    const int32_t result = answer(name, record);
    if (name == "messageBroadcastEnable") line += " -> subscription " + number(result);
    if (!identity || fieldText(info_.identity) != identity) {
        line += " [identity " + quoted(identity) + " is not the one in the load record]";
    }
    if (GetCurrentThreadId() != hostThread_) line += " [sent from a thread other than the host's]";
    say(kPluginPrefix, line);
    return result;
}

// Keeps what the client keeps of each request: the page name, the page
// window, the callback and its subscription.
int32_t SimulatedHost::answer(const std::string& request, void* record) {
    if (request == "prefsInitialize") {
        if (const PrefsRecord* prefs = recordOf<PrefsRecord>(record)) {
            registeredPage_ = prefs->pageName ? prefs->pageName : "";
        }
    } else if (request == "dialogAdd") {
        if (const DialogRecord* dialog = recordOf<DialogRecord>(record)) page_ = dialog->window;
    } else if (request == "dialogRemove") {
        const DialogRecord* dialog = recordOf<DialogRecord>(record);
        if (dialog && dialog->window == page_) page_ = nullptr;
    } else if (request == "messageBroadcastEnable") {
        const BroadcastRecord* enable = recordOf<BroadcastRecord>(record);
        if (!enable) return -1;
        callback_ = enable->callback;
        subscription_ = ++lastSubscription_;
        subscribed_ = true;
        return subscription_;
    } else if (request == "messageBroadcastDisable") {
        const BroadcastRecord* disable = recordOf<BroadcastRecord>(record);
        if (disable && subscribed_ && disable->subscription == subscription_) {
            subscribed_ = false;
            callback_ = nullptr;
        }
    }
    return 0;
}

void SimulatedHost::say(const char* prefix, const std::string& words) const {
    if (output_) output_(prefix + words);
}
