#pragma once
#include <windows.h>

#include <cstdint>

#include "plugin/HostLink.h"
#include "plugin/HostRecords.h"

struct MessageEvent;

// What every plug-in needs of the host. The ten virtual operations keep
// their slot order: the destructor, then the nine events.
class PluginBase {
public:
    explicit PluginBase(const char* identity);
    virtual ~PluginBase();
    PluginBase(const PluginBase&) = delete;
    PluginBase& operator=(const PluginBase&) = delete;

    virtual void onLoad() = 0;
    virtual void onInitialLoad() = 0;
    virtual void onUnload() = 0;
    virtual void onFinalUnload() = 0;
    virtual void onStart() = 0;
    virtual void onStop() = 0;
    virtual void onPrefsShow(PrefsShowRecord& record) = 0;
    virtual void onPrefsAction(const PrefsActionRecord& record) = 0;
    virtual int32_t onMessageBroadcast(int32_t first, int32_t second, const char* eventName,
                                       const MessageEvent& event, int32_t fifth) = 0;

    // The load steps that precede onLoad: module handle, load record,
    // identity written, service function taken.
    void attachHost(HINSTANCE module, PluginInfoRecord* record);

    // Requests to the host. Skipped while there is no service function.
    int32_t initializePrefs(const char* pageName);
    void enableMessageBroadcast(MessageBroadcastCallback callback, int32_t userValue);
    void disableMessageBroadcast();
    void setSystrayAlert(const char* text, const char* style, int32_t firstValue,
                         int32_t secondValue, int32_t thirdValue);
    void sendMessage(const char* medium, int32_t connection, const char* name, const char* text);
    // Makes the dialog as a child of parent and announces it, null or not.
    HWND addDialog(int resource, HWND parent, DLGPROC procedure);
    // Withdraws the dialog from the host, then destroys it.
    void removeDialog(HWND window);
    // Sends one request; returns the host's answer, 0 when it was skipped.
    int32_t request(const char* name, void* record) const;

    const char* registeredPageName() const { return registeredPageName_; }

protected:
    HINSTANCE module_ = nullptr;
    HostLink hostLink_;
    const char* identity_;
    HostService service_ = nullptr;
    const char* registeredPageName_ = nullptr;
    HWND page_ = nullptr;
    int32_t broadcastSubscription_ = -1;
};
