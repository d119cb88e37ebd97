#include "SimulatedHost.h"

#include <cstring>
#include <iterator>

#include "MessagePump.h"

namespace {

const char kHostText[] = "host simulator";
const char kIncomingPrivate[] = "incoming_privateMessage";
const char* const kActionNames[] = {"cancel", "apply", "OK"};

// A text field of a record the plug-in filled, read no further than its end.
template <std::size_t Size>
std::string fieldText(const char (&field)[Size]) {
    return std::string(field, strnlen(field, Size));
}

std::string number(int32_t value) { return std::to_string(value); }

}  // namespace

SimulatedHost::SimulatedHost(Output output)
    : output_(std::move(output)), hostThread_(GetCurrentThreadId()) {}

SimulatedHost::~SimulatedHost() {
    if (player_.started()) stop();
    if (player_.loaded()) unload();
}

bool SimulatedHost::open(const std::string& dllPath, std::string& error) {
    if (!player_.open(dllPath, error)) return false;
    say(kHostPrefix, "loaded " + dllPath + ", interface version " + number(player_.version()));
    return true;
}

void SimulatedHost::load(const std::string& settingsDirectory) {
    say(kHostPrefix, "load, settings directory " + quoted(settingsDirectory.c_str()));
    report(player_.load(settingsDirectory, kHostText, service()));
    reportIdentity();
}

void SimulatedHost::reportIdentity() {
    const PluginInfoRecord& info = player_.info();
    say(kPluginPrefix, "is " + quoted(fieldText(info.name).c_str()) + " " +
                           fieldText(info.version) + " by " + fieldText(info.author) + ": " +
                           fieldText(info.description));
    say(kPluginPrefix, "identity " + fieldText(info.identity));
}

void SimulatedHost::start() {
    say(kHostPrefix, "start");
    report(player_.start());
}

void SimulatedHost::stop() {
    say(kHostPrefix, "stop");
    report(player_.stop());
}

void SimulatedHost::unload() {
    say(kHostPrefix, "unload");
    report(player_.unload());
}

void SimulatedHost::deliver(const std::string& sender, const std::string& medium,
                            int32_t connection, const std::string& text) {
    const std::string heading =
        sender + " over " + medium + " (connection " + number(connection) + "): " + text;
    if (!subscribed() || !callback()) {
        say(kHostPrefix, heading + " [not delivered: the plug-in has not subscribed]");
        return;
    }
    say(kHostPrefix, heading);
    MessageRecord record = HostPlayer::messageRecord(medium.c_str(), connection, sender.c_str(),
                                                     kIncomingPrivate, text.c_str());
    const size_t before = requests().size();
    int32_t result = 0;
    broadcastMessage(record, &result);
    if (result != 0) say(kPluginPrefix, "the callback answered " + number(result));
    if (requests().size() == before) say(kPluginPrefix, "no request");
}

void SimulatedHost::prefsShow(HWND parent, int32_t x, int32_t y, bool show) {
    if (registeredPage().empty()) {
        say(kHostPrefix, "no preferences page to show: the plug-in registered none");
        return;
    }
    PrefsShowRecord record =
        HostPlayer::prefsShowRecord(show ? 1 : 0, registeredPage().c_str(), parent, x, y);
    const std::string page = quoted(registeredPage().c_str());
    say(kHostPrefix, "prefsShow " + page + (show ? ", show" : ", hide"));
    report(player_.event("prefsShow", &record));
    say(kPluginPrefix, "page " + quoted(fieldText(record.pluginPageName).c_str()) + ": " +
                           fieldText(record.pluginPageDescription) + ", bitmap " +
                           pointerText(record.bitmap));
}

void SimulatedHost::prefsAction(int32_t action) {
    std::string words = "prefsAction " + number(action);
    if (action >= 0 && action < static_cast<int32_t>(std::size(kActionNames))) {
        words += std::string(" (") + kActionNames[action] + ")";
    }
    say(kHostPrefix, words);
    report(player_.prefsAction(action));
}

void SimulatedHost::wait(uint32_t ms) const {
    say(kHostPrefix, "waits " + std::to_string(ms) + " ms");
    // As the client waits: the plug-in's failure alerts arrive as messages.
    pumpFor(ms);
}

void SimulatedHost::report(int32_t eventAnswer) const {
    if (eventAnswer != 0) say(kPluginPrefix, "plugin_main answered " + number(eventAnswer));
}

void SimulatedHost::served(const HostRequest& request, int32_t answer) {
    std::string line = describeRequest(request);
    if (request.name == kEnable) line += " -> subscription " + number(answer);
    if (request.identity != fieldText(player_.info().identity)) {
        line += " [identity " + quoted(request.identity.c_str()) +
                " is not the one in the load record]";
    }
    if (GetCurrentThreadId() != hostThread_) line += " [sent from a thread other than the host's]";
    say(kPluginPrefix, line);
}

void SimulatedHost::say(const char* prefix, const std::string& words) const {
    if (output_) output_(prefix + words);
}
