#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "RequestRecorder.h"
#include "TempDir.h"
#include "plugin/PluginBase.h"
#include "plugin/PluginModule.h"
#include "plugin/RelayPlugin.h"

namespace {

// The module's own plug-in object, loaded in-process through plugin_main.
class LoadedModule {
public:
    explicit LoadedModule(bool withService = true) {
        std::memset(&info_, 0, sizeof info_);
        info_.settingsDirectory = directory_.path().c_str();
        info_.service = withService ? RequestRecorder::service() : nullptr;
        plugin_main("load", &info_);
    }
    ~LoadedModule() { plugin_main("unload", nullptr); }
    PluginBase& plugin() const { return *pluginObject(); }

private:
    TempDir directory_;
    PluginInfoRecord info_;
};

}  // namespace

TEST(HostRequests, SendMessageCutsEachTextToItsBuffer) {
    RequestRecorder recorder;
    LoadedModule module;
    PluginBase& plugin = module.plugin();
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

// Without a service function the dialog requests still make and destroy the
// window.
TEST(HostRequests, DialogRequestsMakeAndDestroyTheWindowWithOrWithoutAHost) {
    const int kNoSuchDialog = 4711;
    for (bool withService : {true, false}) {
        SCOPED_TRACE(withService ? "with a service function" : "without one");
        RequestRecorder recorder;
        LoadedModule module(withService);
        // A dialog that cannot be made is still announced, with a null window.
        EXPECT_EQ(module.plugin().addDialog(kNoSuchDialog, nullptr, nullptr), nullptr);
        HWND window = CreateWindowExA(0, "STATIC", "probe", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                      nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(IsWindow(window));
        module.plugin().removeDialog(window);
        EXPECT_FALSE(IsWindow(window));
        if (!withService) {
            EXPECT_TRUE(recorder.requests().empty());
            continue;
        }
        ASSERT_EQ(recorder.requestNames(), (std::vector<std::string>{"dialogAdd", "dialogRemove"}));
        EXPECT_EQ(recorder.requests()[0].window, nullptr);
        EXPECT_EQ(recorder.requests()[0].recordSize, sizeof(DialogRecord));
        EXPECT_EQ(recorder.requests()[1].window, window);
    }
}
