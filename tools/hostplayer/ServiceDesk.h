#pragma once
// The client's service function and what the client keeps of the requests
// it serves: every request in order, the page the plug-in registered and
// added, and the broadcast subscription with its callback.
//
// One desk at a time per process: the service function is a plain function
// that finds its desk through a process-wide pointer.
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "HostRequest.h"
#include "plugin/HostRecords.h"

class ServiceDesk {
public:
    static constexpr const char* kEnable = "messageBroadcastEnable";
    static constexpr const char* kDisable = "messageBroadcastDisable";
    static constexpr int32_t kRefused = -1;

    ServiceDesk();
    virtual ~ServiceDesk();
    ServiceDesk(const ServiceDesk&) = delete;
    ServiceDesk& operator=(const ServiceDesk&) = delete;

    // The function to put into the load record.
    static HostService service() { return &serviceFunction; }
    // False when another desk was open as this one opened.
    bool alone() const { return alone_; }

    // The answer to a request. Unless set, "messageBroadcastEnable" is
    // answered with a fresh subscription (1, 2, ...) and the others with 0;
    // an enable without its record is refused.
    void setAnswer(const std::string& request, int32_t answer) { answers_[request] = answer; }

    // Every request so far, in order.
    const std::vector<HostRequest>& requests() const { return requests_; }
    std::vector<std::string> requestNames() const;
    int count(const std::string& request) const;
    // The last request with this name, or null.
    const HostRequest* lastOf(const std::string& request) const;
    void clearRequests() { requests_.clear(); }

    // The page name of the last "prefsInitialize"; the window of the last
    // "dialogAdd" until its "dialogRemove".
    const std::string& registeredPage() const { return registeredPage_; }
    HWND page() const { return page_; }
    // The callback of the last "messageBroadcastEnable", or null.
    MessageBroadcastCallback callback() const { return callback_; }
    // True from an enable answered with anything but -1 to the disable of
    // that subscription.
    bool subscribed() const { return subscribed_; }

    // Calls the last registered callback as the client does, with this event
    // name and record; 0 when there is none.
    int32_t callBack(const char* eventName, void* record) const;
    // An incoming message, as the client delivers it: "message_broadcast"
    // with the record to the subscribed callback. False, calling nothing,
    // while the plug-in is not subscribed.
    bool broadcastMessage(MessageRecord& record, int32_t* answer = nullptr) const;

protected:
    // Told of each request once it is kept, with the answer about to go back.
    virtual void served(const HostRequest&, int32_t) {}

private:
    static int32_t __cdecl serviceFunction(const char* identity, const char* request, void* record);
    int32_t serve(const char* identity, const char* request, void* record);
    int32_t keep(const HostRequest& request);
    int32_t subscribe(const HostRequest& enable);
    int32_t answerFor(const std::string& request) const;

    bool alone_ = true;
    std::vector<HostRequest> requests_;
    std::map<std::string, int32_t> answers_;
    std::string registeredPage_;
    HWND page_ = nullptr;
    MessageBroadcastCallback callback_ = nullptr;
    int32_t subscription_ = kRefused;
    int32_t lastSubscription_ = 0;
    bool subscribed_ = false;
};
