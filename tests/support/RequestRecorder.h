#pragma once
// Plays the host's service function: records every request the plug-in
// sends, in order, with copies of its record's fields, and answers it.
// Only one recorder may exist at a time per process, because the service
// function is a plain function that finds its recorder through a
// process-wide pointer.
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "plugin/HostRecords.h"

// One request as the service function saw it. The identity, the name and
// the record size are always filled; the other fields only for the request
// types named beside them (texts copied, null pointers as empty texts).
struct HostRequest {
    std::string identity;
    std::string name;
    uint32_t recordSize = 0;

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

class RequestRecorder {
public:
    RequestRecorder();
    ~RequestRecorder();
    RequestRecorder(const RequestRecorder&) = delete;
    RequestRecorder& operator=(const RequestRecorder&) = delete;

    // The function to put into the load record.
    static HostService service() { return &serviceFunction; }

    // The answer to "messageBroadcastEnable" (7 unless set); every other
    // request is answered with 0 unless set here.
    void setAnswer(const std::string& request, int32_t answer) { answers_[request] = answer; }

    // Every request so far, in order.
    const std::vector<HostRequest>& requests() const { return requests_; }
    std::vector<std::string> requestNames() const;
    int count(const std::string& request) const;
    // The last request with this name; fails the test when there is none.
    const HostRequest& last(const std::string& request) const;
    void clearRequests() { requests_.clear(); }

    // The callback of the last "messageBroadcastEnable", or null.
    MessageBroadcastCallback callback() const { return callback_; }
    // True between an enable answered with anything but -1 and its disable.
    bool subscribed() const { return subscribed_; }

private:
    static int32_t __cdecl serviceFunction(const char* identity, const char* request,
                                           void* record);
    int32_t serve(const char* identity, const char* request, void* record);
    int32_t answerFor(const std::string& request) const;

    std::vector<HostRequest> requests_;
    std::map<std::string, int32_t> answers_;
    MessageBroadcastCallback callback_ = nullptr;
    bool subscribed_ = false;
};
