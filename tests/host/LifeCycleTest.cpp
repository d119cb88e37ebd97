#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "ForwardingSettings.h"
#include "MailLab.h"
#include "TestHost.h"

namespace {

using Names = std::vector<std::string>;

const char kIdentity[] = "5A1E7C24-90D3-4b7f-8C26-D1F04A9B3E65";
const char kPrefs[] = "prefsInitialize";
const char kEnable[] = "messageBroadcastEnable";
const char kDisable[] = "messageBroadcastDisable";
const int32_t kRefused = -1;

// The threads of this process; the plug-in's sender thread is among them
// between "start" and "stop".
int threadCount() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 entry;
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    }
    CloseHandle(snapshot);
    return count;
}

// The private bytes of this process; 0 where the platform does not say.
SIZE_T privateBytes() {
    using Query = BOOL(WINAPI*)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo")));
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!query || !query(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return counters.PagefileUsage;
}

}  // namespace

TEST(LifeCycle, LoadFillsTheLoadRecordAndSendsNothing) {
    TestHost host;
    EXPECT_EQ(host.version(), 1);
    EXPECT_EQ(host.load(), 0);

    const PluginInfoRecord& info = host.info();
    EXPECT_TRUE(fieldHolds(info.identity, kIdentity));
    EXPECT_TRUE(fieldHolds(info.name, "IM Tolvaning Plugin"));
    EXPECT_TRUE(fieldHolds(info.version, "1.1"));
    EXPECT_TRUE(fieldHolds(info.description, "Forwards IMs to an email address or mobile phone."));
    EXPECT_TRUE(fieldHolds(info.author, "The tolvane developers"));
    EXPECT_TRUE(host.requests().empty());
}

// Mails still waiting at unload go with the object, unsent, and so does
// their memory: the server, which never answers, sees one connection per
// load and nothing sent, and three loads that each leave 40000 mails waiting
// cost hardly more than the first.
TEST(LifeCycle, UnloadDestroysWaitingMailsUnsentAndKeepsNoneOfThem) {
    MailLab lab;
    const LabServer silent = lab.startScript(PeerScript().silent());
    const std::string text(400000, 'x');
    const SIZE_T before = privateBytes();
    SIZE_T whileWaiting = 0;
    std::vector<SIZE_T> afterUnload;
    for (size_t load = 1; load <= 3; ++load) {
        {
            TestHost host;
            host.writeSettings(forwardingTo(silent.host, {{"Char Limit Enabled", "1"}, {"CharLimit", "10"},
                                                          {"Message Limit", "-1"}}));
            host.load();
            host.start();
            ASSERT_TRUE(host.broadcast("AIM", 1, "ann", kPrivateMessage, text.c_str()));
            ASSERT_TRUE(lab.waitForConnections(silent, load));
            if (load == 1) whileWaiting = privateBytes();
            host.stop();
            host.unload();
        }
        afterUnload.push_back(privateBytes());
    }
    const std::vector<LabConnection> connections = lab.connections(silent);
    ASSERT_EQ(connections.size(), 3u);
    for (const LabConnection& connection : connections) EXPECT_EQ(connection.transcript, "");
    ASSERT_GT(whileWaiting, before + (1u << 20)) << "the waiting mails show in the process's memory";
    EXPECT_LT(afterUnload[2], afterUnload[0] + (whileWaiting - before) / 2);
}

TEST(LifeCycle, StartRegistersAndSubscribesOnceAndStopWithdrawsTheHostsSubscription) {
    TestHost host;
    host.setAnswer(kEnable, 42);
    host.load();
    EXPECT_EQ(host.stop(), 0);
    EXPECT_TRUE(host.requests().empty()) << "stop before any start";
    EXPECT_EQ(host.event("initialLoad", nullptr), 0);
    EXPECT_EQ(host.start(), 0);
    host.start();
    EXPECT_EQ(host.event("finalUnload", nullptr), 0);
    host.stop();
    ASSERT_EQ(host.requestNames(), (Names{kPrefs, kEnable, kDisable}));
    const size_t sizes[] = {sizeof(PrefsRecord), sizeof(BroadcastRecord), sizeof(BroadcastRecord)};
    for (size_t i = 0; i < host.requests().size(); ++i) {
        EXPECT_EQ(host.requests()[i].identity, kIdentity);
        EXPECT_EQ(host.requests()[i].recordSize, sizes[i]);
    }
    const HostRequest& prefs = host.requests()[0];
    EXPECT_EQ(prefs.prefsOne, 1);
    EXPECT_EQ(prefs.pageName, "IM Tolvaning");
    EXPECT_EQ(prefs.prefsTrailing, 0u);
    const HostRequest& enable = host.requests()[1];
    EXPECT_EQ(enable.subscription, 0);
    EXPECT_NE(enable.callback, nullptr);
    EXPECT_EQ(enable.userValue, 0);
    const HostRequest& disable = host.requests()[2];
    EXPECT_EQ(disable.subscription, 42);
    EXPECT_EQ(disable.callback, nullptr);
    EXPECT_EQ(disable.userValue, 0);
}

// Each start after a stop asks again, and stop withdraws what the latest
// enable returned: 0 is a subscription like any other, -1 a refusal that
// leaves nothing to withdraw.
TEST(LifeCycle, EachStartAfterStopSubscribesAgain) {
    struct Case {
        int32_t secondAnswer;
        Names requests;
        int32_t lastWithdrawn;
    };
    const int32_t first = 7;
    const Names twice = {kPrefs, kEnable, kDisable, kPrefs, kEnable, kDisable, kPrefs, kEnable};
    const Names refused = {kPrefs, kEnable, kDisable, kPrefs, kEnable, kPrefs, kEnable};
    for (const Case& c : {Case{9, twice, 9}, Case{0, twice, 0}, Case{kRefused, refused, first}}) {
        SCOPED_TRACE(c.secondAnswer);
        TestHost host;
        host.setAnswer(kEnable, first);
        host.load();
        host.start();
        host.stop();
        host.setAnswer(kEnable, c.secondAnswer);
        host.start();
        host.stop();
        host.start();
        EXPECT_EQ(host.requestNames(), c.requests);
        EXPECT_EQ(host.last(kDisable).subscription, c.lastWithdrawn);
    }
}

TEST(LifeCycle, OneSenderThreadBetweenStartAndStopOrUnload) {
    TestHost host;
    host.load();
    const int before = threadCount();
    ASSERT_GT(before, 0);
    host.start();
    EXPECT_EQ(threadCount(), before + 1);
    host.start();
    EXPECT_EQ(threadCount(), before + 1) << "a second start makes no second thread";
    host.stop();
    EXPECT_EQ(threadCount(), before);
    host.start();
    host.clearRequests();
    host.unload();
    EXPECT_EQ(threadCount(), before) << "unload while started ends the thread";
    EXPECT_EQ(host.requestNames(), Names{kDisable}) << "unload while started stops first";
}

TEST(LifeCycle, SecondLoadKeepsTheFirstObject) {
    TestHost host;
    host.load();
    PluginInfoRecord second{};
    second.settingsDirectory = "Z:\\nonexistent\\";
    second.service = RequestRecorder::service();
    EXPECT_EQ(host.event("load", &second), 0);
    EXPECT_EQ(second.identity[0], 0);
    EXPECT_EQ(second.name[0], 0);
    host.start();
    EXPECT_EQ(host.count(kPrefs), 1);
    host.stop();
    host.unload();
    EXPECT_TRUE(host.settingsFile().exists()) << "the first object saves into its own directory";
}

// Before any load, after a load without a record and after unload there is
// no object: no event reaches anything.
TEST(LifeCycle, EventsWithoutAnObjectDoNothing) {
    enum Before { kNothing, kLoadWithoutRecord, kLoadAndUnload };
    for (Before before : {kNothing, kLoadWithoutRecord, kLoadAndUnload}) {
        SCOPED_TRACE(before);
        TestHost host;
        if (before == kLoadWithoutRecord) host.event("load", nullptr);
        if (before == kLoadAndUnload) {
            host.load();
            host.unload();
        }
        const bool fileBefore = host.settingsFile().exists();
        host.clearRequests();
        PrefsActionRecord action = {sizeof action, 2};
        for (const char* name : {"initialLoad", "start", "prefsAction"}) {
            EXPECT_EQ(host.event(name, &action), 0) << name;
        }
        EXPECT_EQ(host.prefsShow(1).pluginPageName[0], 0);
        for (const char* name : {"stop", "finalUnload", "unload"}) host.event(name, nullptr);
        EXPECT_TRUE(host.requests().empty());
        EXPECT_EQ(host.settingsFile().exists(), fileBefore);
    }
}

TEST(LifeCycle, WithoutAServiceFunctionNothingReachesTheHost) {
    TestHost host;
    host.load(false);
    host.start();
    PrefsShowRecord show = host.prefsShow(0);
    host.stop();
    host.unload();
    EXPECT_TRUE(host.requests().empty());
    // The page name was registered all the same, so prefsShow was answered.
    EXPECT_STREQ(show.pluginPageName, "IM Tolvaning");
    EXPECT_TRUE(host.settingsFile().exists());
}
