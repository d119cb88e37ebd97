#include "plugin/PluginBase.h"

#include <cstring>

#include "plugin/FixedField.h"

namespace {

const char kDialogAdd[] = "dialogAdd";
const char kDialogRemove[] = "dialogRemove";
const char kSystraySetAlert[] = "systraySetAlert";
const char kPrefsInitialize[] = "prefsInitialize";
const char kMessageBroadcastEnable[] = "messageBroadcastEnable";
const char kMessageBroadcastDisable[] = "messageBroadcastDisable";
const char kMessageSend[] = "messageSend";
const char kOutgoing[] = "outgoing";

const int32_t kNotSubscribed = -1;
const int32_t kPrefsRecordOne = 1;

// The texts of a "messageSend" must outlive the call, so they are copied into
// module-wide buffers that stay unchanged until the next reply.
const size_t kReplyMediumSize = 16;
const size_t kReplyNameSize = 256;
const size_t kReplyTextSize = 2048;
char replyMedium[kReplyMediumSize];
char replyName[kReplyNameSize];
char replyText[kReplyTextSize];

template <typename Record>
Record zeroedRecord() {
    Record record;
    std::memset(&record, 0, sizeof record);
    record.size = sizeof record;
    return record;
}

}  // namespace

PluginBase::PluginBase(const char* identity) : identity_(identity) {}

PluginBase::~PluginBase() = default;

void PluginBase::attachHost(HINSTANCE module, PluginInfoRecord* record) {
    module_ = module;
    hostLink_.attach(record);
    hostLink_.writeIdentity(identity_);
    service_ = hostLink_.service();
}

int32_t PluginBase::request(const char* name, void* record) const {
    if (!service_) return 0;
    return service_(identity_, name, record);
}

int32_t PluginBase::initializePrefs(const char* pageName) {
    registeredPageName_ = pageName;
    PrefsRecord record = zeroedRecord<PrefsRecord>();
    record.one = kPrefsRecordOne;
    record.pageName = pageName;
    return request(kPrefsInitialize, &record);
}

void PluginBase::enableMessageBroadcast(MessageBroadcastCallback callback, int32_t userValue) {
    if (broadcastSubscription_ != kNotSubscribed) return;
    BroadcastRecord record = zeroedRecord<BroadcastRecord>();
    record.callback = callback;
    record.userValue = userValue;
    broadcastSubscription_ = request(kMessageBroadcastEnable, &record);
}

void PluginBase::disableMessageBroadcast() {
    if (broadcastSubscription_ == kNotSubscribed) return;
    BroadcastRecord record = zeroedRecord<BroadcastRecord>();
    record.subscription = broadcastSubscription_;
    request(kMessageBroadcastDisable, &record);
    broadcastSubscription_ = kNotSubscribed;
}

void PluginBase::setSystrayAlert(const char* text, const char* style, int32_t firstValue,
                                 int32_t secondValue, int32_t thirdValue) {
    AlertRecord record = zeroedRecord<AlertRecord>();
    record.text = text;
    record.style = style;
    record.firstValue = firstValue;
    record.secondValue = secondValue;
    record.thirdValue = thirdValue;
    request(kSystraySetAlert, &record);
}

void PluginBase::sendMessage(const char* medium, int32_t connection, const char* name,
                             const char* text) {
    MessageRecord record = zeroedRecord<MessageRecord>();
    record.medium = writeField(replyMedium, medium);
    record.connection = connection;
    record.name = writeField(replyName, name);
    record.type = kOutgoing;
    record.text = writeField(replyText, text);
    request(kMessageSend, &record);
}

HWND PluginBase::addDialog(int resource, HWND parent, DLGPROC procedure) {
    DialogRecord record = zeroedRecord<DialogRecord>();
    record.window = CreateDialogParamA(module_, MAKEINTRESOURCEA(resource), parent, procedure, 0);
    request(kDialogAdd, &record);
    return record.window;
}

void PluginBase::removeDialog(HWND window) {
    DialogRecord record = zeroedRecord<DialogRecord>();
    record.window = window;
    request(kDialogRemove, &record);
    DestroyWindow(window);
}
