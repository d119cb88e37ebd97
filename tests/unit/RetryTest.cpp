#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ForwardingSettings.h"
#include "HostPlayer.h"
#include "MailLab.h"
#include "MessagePump.h"
#include "ProtectedSetting.h"
#include "RequestRecorder.h"
#include "TempDir.h"
#include "plugin/PluginModule.h"
#include "plugin/RelayPlugin.h"

namespace {

// The pauses between attempts and the minute of "Retry Minutes", short
// enough that a test sees several attempts in a second.
RetryTiming quickTiming() {
    RetryTiming timing;
    timing.firstPauseMs = 100;
    timing.longestPauseMs = 200;
    timing.minuteMs = 1000;
    return timing;
}

// The module loaded in-process through plugin_main, as the host drives it,
// with the pauses between attempts shortened; every message is forwarded
// as one mail.
class Retry : public ::testing::Test {
protected:
    void TearDown() override {
        if (started) plugin_main("stop", nullptr);
        if (loaded) plugin_main("unload", nullptr);
    }

    void startWith(const LabServer& server, int retryMinutes) {
        startWith(forwardingTo(server.host, {{"Retry Minutes", std::to_string(retryMinutes)}}));
    }

    // Push to the URL, with the lab's CA trusted.
    void startPushing(const std::string& url, int retryMinutes) {
        startWith(forwardingTo("unused.example.org", {{"Retry Minutes", std::to_string(retryMinutes)},
                                                      {"ForwardType", "3"},
                                                      {"Push URL", protectedSetting(url)},
                                                      {"Trusted CA File", lab.caFile()}}));
    }

    void startWith(const std::vector<IniEntry>& entries) {
        IniFile(directory.file("IMTolvane.ini")).writeThroughProfile(entries, "IM Tolvane");
        info.hostSize = sizeof info;
        info.settingsDirectory = directory.path().c_str();
        info.service = RequestRecorder::service();
        plugin_main("load", &info);
        loaded = true;
        static_cast<RelayPlugin*>(pluginObject())->setRetryTiming(quickTiming());
        plugin_main("start", nullptr);
        started = true;
    }

    void send(const std::vector<std::string>& texts) {
        for (const std::string& text : texts) {
            MessageRecord record = HostPlayer::messageRecord("AIM", 1, "ann", kPrivateMessage, text.c_str());
            ASSERT_TRUE(recorder.broadcastMessage(record));
        }
    }

    // The alerts that are no "has been forwarded", after the plug-in's
    // window on this thread had the time given to raise them.
    std::vector<std::string> failureAlerts(DWORD pumpMs) {
        pumpFor(pumpMs);
        std::vector<std::string> texts;
        for (const HostRequest& request : recorder.requests()) {
            const bool failure = request.alertText.find("forwarded") == std::string::npos;
            if (request.name == "systraySetAlert" && failure) texts.push_back(request.alertText);
        }
        return texts;
    }

    std::vector<std::string> received(const LabServer& server) {
        std::vector<std::string> bodies;
        for (const ReceivedMail& mail : lab.mails(server)) bodies.push_back(bodyOf(mail.data));
        return bodies;
    }

    MailLab lab;
    RequestRecorder recorder;
    TempDir directory;
    PluginInfoRecord info{};
    bool loaded = false;
    bool started = false;
};

const std::vector<std::string> kThree = {"one", "two", "three"};

}  // namespace

// 0: one attempt. A mail refused for now is lost and the next follows on
// the same connection; a connection that fails drops every waiting mail.
TEST_F(Retry, ZeroMinutesTriesEachMailOnce) {
    const LabServer deferring = lab.startSmtp({}, 1);
    startWith(deferring, 0);
    send({"one", "two"});
    ASSERT_TRUE(lab.waitForMails(deferring, 1));
    Sleep(800);
    EXPECT_EQ(lab.connectionCount(deferring), 1u);
    EXPECT_EQ(received(deferring), std::vector<std::string>{"two"});

    const LabServer later = lab.unreachable();
    plugin_main("stop", nullptr);
    plugin_main("unload", nullptr);
    loaded = started = false;
    startWith(later, 0);
    send({"lost"});
    Sleep(300);
    lab.listen(later);
    Sleep(800);
    EXPECT_EQ(lab.connectionCount(later), 0u);
}

TEST_F(Retry, ServerThatRefusesConnectionsForAWhileGetsEveryMailOnceInOrder) {
    const LabServer server = lab.unreachable();
    startWith(server, 5);
    send(kThree);
    Sleep(800);  // several attempts refused
    send({"four"});
    lab.listen(server);
    ASSERT_TRUE(lab.waitForMails(server, 4));
    Sleep(500);
    EXPECT_EQ(received(server), (std::vector<std::string>{"one", "two", "three", "four"}));
}

// The refused mail ends the batch, so the next one does not overtake it.
TEST_F(Retry, RefusalForNowThenAcceptanceDeliversOnceInOrder) {
    const LabServer server = lab.startSmtp({}, 1);
    startWith(server, 5);
    send(kThree);
    ASSERT_TRUE(lab.waitForMails(server, 3));
    Sleep(500);
    const std::vector<LabConnection> connections = lab.connections(server);
    ASSERT_EQ(connections.size(), 2u);
    EXPECT_TRUE(connections[0].mails.empty());
    EXPECT_EQ(received(server), kThree);
    EXPECT_TRUE(failureAlerts(200).empty()) << "no mail was lost";
}

TEST_F(Retry, PermanentRefusalIsNotRetried) {
    const LabServer server = lab.startSmtp({kForwardRecipient});
    startWith(server, 5);
    send({"one"});
    ASSERT_TRUE(lab.waitForConnections(server, 1));
    Sleep(1000);
    EXPECT_EQ(lab.connectionCount(server), 1u);
}

// Only the final drop raises an alert, not each retried attempt.
TEST_F(Retry, MailsOlderThanRetryMinutesAreDroppedWithOneAlert) {
    const LabServer server = lab.unreachable();
    startWith(server, 1);
    send({"too old", "too old too"});
    EXPECT_EQ(failureAlerts(1500),
              std::vector<std::string>{"IM: mail not sent: 2 mails dropped after 1 minute of retrying"});
    lab.listen(server);
    send({"fresh"});
    ASSERT_TRUE(lab.waitForMails(server, 1));
    Sleep(500);
    EXPECT_EQ(received(server), std::vector<std::string>{"fresh"});
}

TEST_F(Retry, UnloadSaysInTheLogHowManyMailsWereStillWaiting) {
    const LabServer server = lab.unreachable();
    startWith(server, 5);
    send({"one", "two"});
    Sleep(300);
    plugin_main("stop", nullptr);
    plugin_main("unload", nullptr);
    loaded = started = false;
    std::ifstream log(directory.file("IMTolvane.log"));
    const std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("| 2 still waiting, dropped at unload |"), std::string::npos) << text;
}

// A notification refused for now (429 with its Retry-After, a 5xx) or whose
// server cannot be reached is kept and arrives once, and not before the
// Retry-After; nothing was lost, so nothing is alerted.
TEST_F(Retry, PushRefusedForNowOrUnreachableArrivesOnceWhenAsked) {
    const struct {
        const char* what;
        int firstStatus;  // 0: no listener at first
        int retryAfterSeconds;
        std::size_t requests;
        unsigned long long leastGapMs;
    } cases[] = {
        {"429", 429, 1, 2, 1000},
        {"503", 503, -1, 2, 0},
        {"unreachable", 0, -1, 1, 0},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        PushServiceOptions options;
        if (test.firstStatus == 0) options.certificate = PushServiceOptions::NotListening;
        if (test.firstStatus != 0) options.answers = {{test.firstStatus, test.retryAfterSeconds}, {200, -1}};
        const PushService service = lab.startPush("ntfy", options);
        startPushing(service.url, 5);
        send({"one"});
        if (test.firstStatus == 0) {
            Sleep(400);
            lab.listen(service);
        }
        ASSERT_TRUE(lab.waitForPushed(service, test.requests));
        const std::vector<PushedRequest> pushed = lab.pushed(service);
        EXPECT_EQ(pushed.back().status, 200);
        EXPECT_GE(pushed.back().receivedMs - pushed.front().receivedMs, test.leastGapMs);
        EXPECT_TRUE(failureAlerts(600).empty());
        EXPECT_EQ(lab.pushed(service).size(), test.requests);
        plugin_main("stop", nullptr);
        plugin_main("unload", nullptr);
        loaded = started = false;
    }
}
