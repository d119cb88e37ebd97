#include "ServiceDesk.h"

#include <algorithm>

namespace {

const char kMessageBroadcast[] = "message_broadcast";

ServiceDesk* currentDesk = nullptr;

}  // namespace

ServiceDesk::ServiceDesk() {
    alone_ = currentDesk == nullptr;
    currentDesk = this;
}

ServiceDesk::~ServiceDesk() {
    if (currentDesk == this) currentDesk = nullptr;
}

std::vector<std::string> ServiceDesk::requestNames() const {
    std::vector<std::string> names;
    for (const HostRequest& request : requests_) names.push_back(request.name);
    return names;
}

int ServiceDesk::count(const std::string& request) const {
    return static_cast<int>(std::count_if(requests_.begin(), requests_.end(),
                                          [&](const HostRequest& r) { return r.name == request; }));
}

const HostRequest* ServiceDesk::lastOf(const std::string& request) const {
    for (auto it = requests_.rbegin(); it != requests_.rend(); ++it) {
        if (it->name == request) return &*it;
    }
    return nullptr;
}

int32_t ServiceDesk::callBack(const char* eventName, void* record) const {
    return callback_ ? callback_(0, 0, eventName, record, 0) : 0;
}

bool ServiceDesk::broadcastMessage(MessageRecord& record, int32_t* answer) const {
    if (!subscribed_ || !callback_) return false;
    const int32_t result = callBack(kMessageBroadcast, &record);
    if (answer) *answer = result;
    return true;
}

int32_t __cdecl ServiceDesk::serviceFunction(const char* identity, const char* request,
                                             void* record) {
    return currentDesk ? currentDesk->serve(identity, request, record) : 0;
}

int32_t ServiceDesk::serve(const char* identity, const char* request, void* record) {
    requests_.push_back(readRequest(identity, request, record));
    const HostRequest& seen = requests_.back();
    const int32_t answer = keep(seen);
    served(seen, answer);
    return answer;
}

int32_t ServiceDesk::keep(const HostRequest& request) {
    const std::string& name = request.name;
    if (name == kEnable) return subscribe(request);
    if (request.recordRead) {
        if (name == "prefsInitialize") registeredPage_ = request.pageName;
        if (name == "dialogAdd") page_ = request.window;
        if (name == "dialogRemove" && request.window == page_) page_ = nullptr;
        if (name == kDisable && request.subscription == subscription_) subscribed_ = false;
    }
    return answerFor(name);
}

int32_t ServiceDesk::subscribe(const HostRequest& enable) {
    if (!enable.recordRead) return kRefused;
    const auto set = answers_.find(kEnable);
    subscription_ = set != answers_.end() ? set->second : ++lastSubscription_;
    callback_ = enable.callback;
    subscribed_ = subscription_ != kRefused;
    return subscription_;
}

int32_t ServiceDesk::answerFor(const std::string& request) const {
    const auto answer = answers_.find(request);
    return answer != answers_.end() ? answer->second : 0;
}
