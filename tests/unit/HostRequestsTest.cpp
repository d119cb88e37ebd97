#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "RequestRecorder.h"
#include "TempDir.h"
#include "plugin/MessageEvent.h"
#include "plugin/PluginBase.h"
#include "plugin/PluginModule.h"

namespace {

const char kIdentity[] = "probe-identity";

// A plug-in that only sends requests, attached to an in-process recorder.
class ProbePlugin : public PluginBase {
public:
    explicit ProbePlugin(bool withService = true) : PluginBase(kIdentity) {
        std::memset(&info_, 0, sizeof info_);
        info_.service = withService ? RequestRecorder::service() : nullptr;
        attachHost(nullptr, &info_);
    }
    void onLoad() override {}
    void onInitialLoad() override {}
    void onUnload() override {}
    void onFinalUnload() override {}
    void onStart() override {}
    void onStop() override {}
    void onPrefsShow(PrefsShowRecord&) override {}
    void onPrefsAction(const PrefsActionRecord&) override {}
    int32_t onMessageBroadcast(int32_t, int32_t, const char*, const MessageEvent&,
                               int32_t) override {
        return 0;
    }

private:
    PluginInfoRecord info_;
};

// The module's own plug-in object, loaded in-process through plugin_main, so
// that addDialog and removeDialog find a service function.
class LoadedModule {
public:
    explicit LoadedModule(bool withService) {
        std::memset(&info_, 0, sizeof info_);
        info_.settingsDirectory = directory_.path().c_str();
        info_.service = withService ? RequestRecorder::service() : nullptr;
        plugin_main("load", &info_);
    }
    ~LoadedModule() { plugin_main("unload", nullptr); }

private:
    TempDir directory_;
    PluginInfoRecord info_;
};

HWND plainWindow() {
    return CreateWindowExA(0, "STATIC", "probe", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

TEST(HostRequests, EveryRequestCarriesTheIdentityAndItsRecordSize) {
    RequestRecorder recorder;
    ProbePlugin plugin;
    plugin.setSystrayAlert("IM: ann has been forwarded", "default", 1, 0, 0);
    plugin.sendMessage("AIM", -3, "ann", "thanks");
    ASSERT_EQ(recorder.requests().size(), 2u);
    const HostRequest& alert = recorder.requests()[0];
    EXPECT_EQ(alert.identity, kIdentity);
    EXPECT_EQ(alert.name, "systraySetAlert");
    EXPECT_EQ(alert.recordSize, 32u);
    EXPECT_EQ(alert.alertText, "IM: ann has been forwarded");
    EXPECT_EQ(alert.alertStyle, "default");
    EXPECT_EQ(alert.alertValues[0], 1);
    EXPECT_EQ(alert.alertValues[1], 0);
    EXPECT_EQ(alert.alertValues[2], 0);
    EXPECT_EQ(alert.alertTrailing[0] | alert.alertTrailing[1], 0u);

    const HostRequest& reply = recorder.requests()[1];
    EXPECT_EQ(reply.identity, kIdentity);
    EXPECT_EQ(reply.name, "messageSend");
    EXPECT_EQ(reply.recordSize, 32u);
    EXPECT_EQ(reply.medium, "AIM");
    EXPECT_EQ(reply.connection, -3);
    EXPECT_EQ(reply.partyName, "ann");
    EXPECT_EQ(reply.type, "outgoing");
    EXPECT_EQ(reply.text, "thanks");
    EXPECT_EQ(reply.trailingText, 0u);
    EXPECT_EQ(reply.trailingValue, 0);
}

TEST(HostRequests, SendMessageCutsEachTextToItsBuffer) {
    RequestRecorder recorder;
    ProbePlugin plugin;
    const std::string medium(16, 'm');
    const std::string name = std::string(255, 'n') + "OVER";
    const std::string text = std::string(2047, 't') + std::string(953, 'X');
    plugin.sendMessage(medium.c_str(), 1, name.c_str(), text.c_str());
    const HostRequest& cut = recorder.last("messageSend");
    EXPECT_EQ(cut.medium, medium.substr(0, 15));
    EXPECT_EQ(cut.partyName, name.substr(0, 255));
    EXPECT_EQ(cut.text, text.substr(0, 2047));

    // Texts that fit pass whole, and a shorter reply leaves nothing of the
    // longer one before it in the reused buffers.
    plugin.sendMessage(medium.substr(0, 15).c_str(), 2, "bo", "ok");
    const HostRequest& whole = recorder.last("messageSend");
    EXPECT_EQ(whole.medium, medium.substr(0, 15));
    EXPECT_EQ(whole.partyName, "bo");
    EXPECT_EQ(whole.text, "ok");

    plugin.sendMessage(nullptr, 3, nullptr, nullptr);
    EXPECT_EQ(recorder.last("messageSend").text, "");
}

TEST(HostRequests, OneSubscriptionAtATime) {
    RequestRecorder recorder;
    recorder.setAnswer("messageBroadcastEnable", 5);
    ProbePlugin plugin;
    plugin.disableMessageBroadcast();
    EXPECT_EQ(recorder.count("messageBroadcastDisable"), 0);

    plugin.enableMessageBroadcast(77);
    plugin.enableMessageBroadcast(78);
    EXPECT_EQ(recorder.count("messageBroadcastEnable"), 1);
    EXPECT_EQ(recorder.last("messageBroadcastEnable").userValue, 77);
    EXPECT_EQ(plugin.broadcastSubscription(), 5);

    plugin.disableMessageBroadcast();
    plugin.disableMessageBroadcast();
    EXPECT_EQ(recorder.count("messageBroadcastDisable"), 1);
    EXPECT_EQ(recorder.last("messageBroadcastDisable").subscription, 5);
    EXPECT_EQ(plugin.broadcastSubscription(), -1);
}

TEST(HostRequests, WithoutAServiceFunctionTheWrappersStillKeepTheirState) {
    RequestRecorder recorder;
    ProbePlugin plugin(false);
    EXPECT_EQ(plugin.initializePrefs("Page"), 0);
    EXPECT_STREQ(plugin.registeredPageName(), "Page");
    plugin.enableMessageBroadcast(0);
    EXPECT_EQ(plugin.broadcastSubscription(), 0);
    plugin.disableMessageBroadcast();
    EXPECT_EQ(plugin.broadcastSubscription(), -1);
    plugin.sendMessage("AIM", 1, "ann", "hi");
    EXPECT_TRUE(recorder.requests().empty());
}

TEST(HostRequests, DialogRequestsGoThroughTheModulesPlugin) {
    RequestRecorder recorder;
    LoadedModule module(true);
    const int kNoSuchDialog = 4711;
    // A dialog that cannot be made is still announced, with a null window.
    EXPECT_EQ(addDialog(GetModuleHandleA(nullptr), kNoSuchDialog, nullptr, nullptr), nullptr);
    ASSERT_EQ(recorder.count("dialogAdd"), 1);
    EXPECT_EQ(recorder.last("dialogAdd").window, nullptr);
    EXPECT_EQ(recorder.last("dialogAdd").recordSize, 8u);

    HWND window = plainWindow();
    ASSERT_TRUE(IsWindow(window));
    removeDialog(window);
    ASSERT_EQ(recorder.count("dialogRemove"), 1);
    EXPECT_EQ(recorder.last("dialogRemove").window, window);
    EXPECT_FALSE(IsWindow(window));
}

TEST(HostRequests, RemoveDialogWithoutAServiceFunctionStillDestroysTheWindow) {
    RequestRecorder recorder;
    LoadedModule module(false);
    HWND window = plainWindow();
    ASSERT_TRUE(IsWindow(window));
    removeDialog(window);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(recorder.requests().empty());
}

TEST(MessageEvent, CopiesTheRecordAndStripsTheText) {
    MessageRecord record;
    std::memset(&record, 0, sizeof record);
    record.connection = 9;
    MessageEvent empty = makeMessageEvent(record);
    EXPECT_EQ(empty.medium, "");
    EXPECT_EQ(empty.connection, 9);
    EXPECT_EQ(empty.name, "");
    EXPECT_EQ(empty.type, "");
    EXPECT_EQ(empty.plainText, "");

    record.medium = "AIM";
    record.name = "ann";
    record.type = "incoming_privateMessage";
    record.text = "<font color=red>hi</font> there";
    MessageEvent full = makeMessageEvent(record);
    EXPECT_EQ(full.medium, "AIM");
    EXPECT_EQ(full.name, "ann");
    EXPECT_EQ(full.type, "incoming_privateMessage");
    EXPECT_EQ(full.plainText, "hi there");
}
