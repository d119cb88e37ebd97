#include "TestHost.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

const char kMessageBroadcast[] = "message_broadcast";
const char kEnable[] = "messageBroadcastEnable";
const char kDisable[] = "messageBroadcastDisable";
const char kHostText[] = "test host";
const int32_t kNotSubscribed = -1;
const UINT kCrashExitCode = 3;

TestHost* currentHost = nullptr;

// A crash inside the plug-in must end the test program with a failure at
// once, never leave it waiting in a debugger.
LONG WINAPI reportCrash(EXCEPTION_POINTERS* exception) {
    std::fprintf(stderr, "test host: unhandled exception 0x%08lx at %p\n",
                 exception->ExceptionRecord->ExceptionCode,
                 exception->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), kCrashExitCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

std::string copyText(const char* text) { return text ? std::string(text) : std::string(); }

template <typename Record>
Record zeroedRecord() {
    Record record;
    std::memset(&record, 0, sizeof record);
    record.hostSize = sizeof record;
    return record;
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
    seen.pageNameNull = record.pageName == nullptr;
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
void copyRecord(HostRequest& seen, void* record) {
    copyFields(seen, *static_cast<const Record*>(record));
}

void copyByRequest(HostRequest& seen, void* record) {
    const std::string& name = seen.name;
    if (name == "dialogAdd" || name == "dialogRemove") {
        copyRecord<DialogRecord>(seen, record);
    } else if (name == "systraySetAlert") {
        copyRecord<AlertRecord>(seen, record);
    } else if (name == "prefsInitialize") {
        copyRecord<PrefsRecord>(seen, record);
    } else if (name == kEnable || name == kDisable) {
        copyRecord<BroadcastRecord>(seen, record);
    } else if (name == "messageSend") {
        copyRecord<MessageRecord>(seen, record);
    }
}

std::vector<std::string> fileLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool sectionHeader(const std::string& line, std::string& name) {
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') return false;
    name = line.substr(1, line.size() - 2);
    return true;
}

// GetProcAddress's generic result as the export's real type.
template <typename Function>
Function entryPoint(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

std::string builtDllPath() {
    std::string path = "Z:" + std::string(TOLVANE_DLL_PATH);
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

TestHost::TestHost() {
    SetUnhandledExceptionFilter(reportCrash);
    if (currentHost) ADD_FAILURE() << "only one TestHost may exist at a time";
    currentHost = this;
    std::memset(&info_, 0, sizeof info_);
    module_ = LoadLibraryA(builtDllPath().c_str());
    if (!module_) {
        ADD_FAILURE() << "cannot load " << builtDllPath() << ", error " << GetLastError();
        return;
    }
    pluginMain_ = entryPoint<decltype(pluginMain_)>(module_, "plugin_main");
    pluginVersion_ = entryPoint<decltype(pluginVersion_)>(module_, "plugin_version");
    if (!pluginMain_ || !pluginVersion_) ADD_FAILURE() << "the DLL lacks its entry points";
}

TestHost::~TestHost() {
    if (started_) stop();
    if (loaded_) unload();
    if (parentWindow_) DestroyWindow(parentWindow_);
    if (module_) FreeLibrary(module_);
    if (currentHost == this) currentHost = nullptr;
}

int32_t TestHost::event(const char* name, void* record) {
    return pluginMain_ ? pluginMain_(name, record) : 0;
}

int32_t TestHost::version() { return pluginVersion_ ? pluginVersion_() : 0; }

int32_t TestHost::load(LoadOptions options) {
    std::memset(&info_, 0, sizeof info_);
    info_.hostSize = sizeof info_;
    info_.settingsDirectory = options.directory ? directory_.path().c_str() : nullptr;
    info_.unusedText = kHostText;
    info_.service = options.service ? &TestHost::service : nullptr;
    loaded_ = true;
    return event("load", &info_);
}

int32_t TestHost::start() {
    started_ = true;
    return event("start", nullptr);
}

int32_t TestHost::stop() {
    started_ = false;
    return event("stop", nullptr);
}

int32_t TestHost::unload() {
    started_ = false;
    loaded_ = false;
    return event("unload", nullptr);
}

PrefsShowRecord TestHost::prefsShow(int32_t showFlag, HWND parent, int32_t x, int32_t y,
                                    const char* pageName) {
    PrefsShowRecord record = zeroedRecord<PrefsShowRecord>();
    record.showFlag = showFlag;
    record.pageName = pageName;
    record.parentWindow = parent;
    record.x = x;
    record.y = y;
    event("prefsShow", &record);
    return record;
}

int32_t TestHost::prefsAction(int32_t action) {
    PrefsActionRecord record = zeroedRecord<PrefsActionRecord>();
    record.action = action;
    return event("prefsAction", &record);
}

bool TestHost::broadcast(const char* medium, int32_t connection, const char* name,
                         const char* type, const char* text) {
    if (!subscribed_ || !callback_) return false;
    MessageRecord record;
    std::memset(&record, 0, sizeof record);
    record.size = sizeof record;
    record.medium = medium;
    record.connection = connection;
    record.name = name;
    record.type = type;
    record.text = text;
    broadcastRaw(kMessageBroadcast, &record);
    return true;
}

int32_t TestHost::broadcastRaw(const char* eventName, void* record) {
    if (!callback_) {
        ADD_FAILURE() << "the plug-in registered no broadcast callback";
        return 0;
    }
    return callback_(0, 0, eventName, record, 0);
}

std::vector<std::string> TestHost::requestNames() const {
    std::vector<std::string> names;
    for (const HostRequest& request : requests_) names.push_back(request.name);
    return names;
}

int TestHost::count(const std::string& request) const {
    int n = 0;
    for (const HostRequest& seen : requests_) n += seen.name == request;
    return n;
}

const HostRequest& TestHost::last(const std::string& request) const {
    for (auto it = requests_.rbegin(); it != requests_.rend(); ++it) {
        if (it->name == request) return *it;
    }
    ADD_FAILURE() << "no request \"" << request << "\" was sent";
    static const HostRequest none;
    return none;
}

HWND TestHost::parentWindow() {
    if (!parentWindow_) {
        parentWindow_ = CreateWindowExA(0, "STATIC", "test host", WS_OVERLAPPEDWINDOW, 0, 0, 640,
                                        480, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    return parentWindow_;
}

int32_t __cdecl TestHost::service(const char* identity, const char* request, void* record) {
    if (!currentHost) {
        ADD_FAILURE() << "a request arrived while no test host exists";
        return 0;
    }
    return currentHost->serve(identity, request, record);
}

int32_t TestHost::serve(const char* identity, const char* request, void* record) {
    HostRequest seen;
    seen.identity = copyText(identity);
    seen.name = copyText(request);
    seen.nullRecord = record == nullptr;
    if (record) {
        seen.recordSize = *static_cast<const uint32_t*>(record);
        copyByRequest(seen, record);
    }
    requests_.push_back(seen);

    auto answer = answers_.find(seen.name);
    const bool enable = seen.name == kEnable;
    const int32_t result = answer != answers_.end() ? answer->second
                           : enable                 ? kDefaultEnableAnswer
                                                    : 0;
    if (enable) {
        callback_ = seen.callback;
        subscribed_ = result != kNotSubscribed;
    } else if (seen.name == kDisable) {
        subscribed_ = false;
    }
    return result;
}

bool TestHost::iniExists() const {
    return GetFileAttributesA(settingsPath().c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TestHost::iniText() const {
    std::ifstream in(settingsPath(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<IniEntry> TestHost::iniEntries(const std::string& section) const {
    std::vector<IniEntry> entries;
    std::string current;
    bool inside = false;
    for (const std::string& line : fileLines(iniText())) {
        if (sectionHeader(line, current)) {
            inside = current == section;
        } else if (inside && !line.empty()) {
            const size_t equals = line.find('=');
            if (equals == std::string::npos) {
                entries.emplace_back(line, "");
            } else {
                entries.emplace_back(line.substr(0, equals), line.substr(equals + 1));
            }
        }
    }
    return entries;
}

std::vector<std::string> TestHost::iniSections() const {
    std::vector<std::string> sections;
    std::string name;
    for (const std::string& line : fileLines(iniText())) {
        if (sectionHeader(line, name)) sections.push_back(name);
    }
    return sections;
}

void TestHost::writeIni(const std::vector<IniEntry>& entries, const std::string& section) {
    for (const IniEntry& entry : entries) {
        WritePrivateProfileStringA(section.c_str(), entry.first.c_str(), entry.second.c_str(),
                                   settingsPath().c_str());
    }
}

void TestHost::writeIniBytes(const std::string& bytes) {
    std::ofstream out(settingsPath(), std::ios::binary | std::ios::trunc);
    out << bytes;
}
