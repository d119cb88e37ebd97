#include "RequestRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const char kEnable[] = "messageBroadcastEnable";
const char kDisable[] = "messageBroadcastDisable";
const int32_t kNotSubscribed = -1;
const int32_t kDefaultEnableAnswer = 7;

RequestRecorder* currentRecorder = nullptr;

std::string copyText(const char* text) { return text ? std::string(text) : std::string(); }

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

template <typename Record>
void copyAs(HostRequest& seen, const void* record) {
    copyFields(seen, *static_cast<const Record*>(record));
}

void copyByRequest(HostRequest& seen, const void* record) {
    const std::string& name = seen.name;
    if (name == "dialogAdd" || name == "dialogRemove") copyAs<DialogRecord>(seen, record);
    if (name == "systraySetAlert") copyAs<AlertRecord>(seen, record);
    if (name == "prefsInitialize") copyAs<PrefsRecord>(seen, record);
    if (name == kEnable || name == kDisable) copyAs<BroadcastRecord>(seen, record);
    if (name == "messageSend") copyAs<MessageRecord>(seen, record);
}

}  // namespace

RequestRecorder::RequestRecorder() {
    if (currentRecorder) ADD_FAILURE() << "only one RequestRecorder may exist at a time";
    currentRecorder = this;
}

RequestRecorder::~RequestRecorder() {
    if (currentRecorder == this) currentRecorder = nullptr;
}

std::vector<std::string> RequestRecorder::requestNames() const {
    std::vector<std::string> names;
    for (const HostRequest& request : requests_) names.push_back(request.name);
    return names;
}

int RequestRecorder::count(const std::string& request) const {
    const std::vector<std::string> names = requestNames();
    return static_cast<int>(std::count(names.begin(), names.end(), request));
}

const HostRequest& RequestRecorder::last(const std::string& request) const {
    for (auto it = requests_.rbegin(); it != requests_.rend(); ++it) {
        if (it->name == request) return *it;
    }
    ADD_FAILURE() << "no request \"" << request << "\" was sent";
    static const HostRequest none;
    return none;
}

int32_t __cdecl RequestRecorder::serviceFunction(const char* identity, const char* request,
                                                 void* record) {
    if (!currentRecorder) {
        ADD_FAILURE() << "a request arrived while no recorder exists";
        return 0;
    }
    return currentRecorder->serve(identity, request, record);
}

int32_t RequestRecorder::serve(const char* identity, const char* request, void* record) {
    HostRequest seen;
    seen.identity = copyText(identity);
    seen.name = copyText(request);
    if (record) {
        seen.recordSize = *static_cast<const uint32_t*>(record);
        copyByRequest(seen, record);
    }
    requests_.push_back(seen);

    const int32_t answer = answerFor(seen.name);
    if (seen.name == kEnable) {
        callback_ = seen.callback;
        subscribed_ = answer != kNotSubscribed;
    } else if (seen.name == kDisable) {
        subscribed_ = false;
    }
    return answer;
}

int32_t RequestRecorder::answerFor(const std::string& request) const {
    const auto answer = answers_.find(request);
    if (answer != answers_.end()) return answer->second;
    return request == kEnable ? kDefaultEnableAnswer : 0;
}
