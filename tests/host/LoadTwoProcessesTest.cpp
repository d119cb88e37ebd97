#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ForwardingSettings.h"
#include "LoadScale.h"
#include "MailLab.h"
#include "TestHost.h"

// Two host processes with the DLL loaded at the same time, as when two
// copies of the client run: both queues are guarded by the one named mutex
// "ZTSMTPLock", and both deliver all their mails. The test program plays
// the second process itself: started again with TOLVANE_LOAD_PEER set, the
// same test takes the part of the second client.
namespace {

const char kPeerVariable[] = "TOLVANE_LOAD_PEER";
const char kSharedLock[] = "ZTSMTPLock";
const char kTestFilter[] = "--gtest_filter=LoadTwoProcesses.BothCopiesDeliverThroughOneSharedLock";
const char kParentName[] = "parent";
const char kPeerName[] = "peer";
const DWORD kPeerStartMs = 60000;
// Long enough for either sender to have sent a mail if it could, short
// enough that the peer's waiting enqueue (at most 5000 ms) still succeeds.
const DWORD kHoldMs = 1500;
const DWORD kPeerExitMs = 30000;

// The three steps the processes meet at, as named events of this run.
class Rendezvous {
public:
    explicit Rendezvous(DWORD parentId)
        : ready_(event("ready", parentId)), go_(event("go", parentId)), done_(event("done", parentId)) {}
    ~Rendezvous() {
        CloseHandle(ready_);
        CloseHandle(go_);
        CloseHandle(done_);
    }
    HANDLE ready() const { return ready_; }
    HANDLE go() const { return go_; }
    HANDLE done() const { return done_; }

private:
    static HANDLE event(const char* step, DWORD parentId) {
        const std::string name = "tolvane-load-peer-" + std::to_string(parentId) + "-" + step;
        return CreateEventA(nullptr, TRUE, FALSE, name.c_str());
    }
    HANDLE ready_;
    HANDLE go_;
    HANDLE done_;
};

void broadcastMails(TestHost& host, const char* name) {
    for (size_t n = 1; n <= kMailsPerProcess; ++n) {
        ASSERT_TRUE(host.broadcast("AIM", 1, name, kPrivateMessage, numbered("mail", n).c_str()));
    }
    EXPECT_EQ(host.count("systraySetAlert"), static_cast<int>(kMailsPerProcess));
}

// The bodies of the mails whose subject names the sender, in arrival order.
std::vector<std::string> bodiesFrom(const std::vector<ReceivedMail>& mails, const std::string& name) {
    std::vector<std::string> bodies;
    for (const ReceivedMail& mail : mails) {
        if (subjectOf(mail.data) == "IM: " + name) bodies.push_back(bodyOf(mail.data));
    }
    return bodies;
}

std::vector<std::string> expectedBodies() {
    std::vector<std::string> bodies;
    for (size_t n = 1; n <= kMailsPerProcess; ++n) bodies.push_back(numbered("mail", n));
    return bodies;
}

// The peer's part: load and start, then send its mails when told to, and
// stay loaded until the parent has seen every mail arrive.
void playPeer(const std::string& server, DWORD parentId) {
    const Rendezvous meet(parentId);
    TestHost host;
    host.writeSettings(forwardingTo(server));
    host.load();
    host.start();
    SetEvent(meet.ready());
    ASSERT_EQ(WaitForSingleObject(meet.go(), kPeerStartMs), WAIT_OBJECT_0);
    broadcastMails(host, kPeerName);
    ASSERT_EQ(WaitForSingleObject(meet.done(), kPeerStartMs), WAIT_OBJECT_0);
}

// Starts this program again as the peer; its handle, or null.
HANDLE startPeer(const LabServer& server) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string role = server.host + " " + std::to_string(GetCurrentProcessId());
    std::string commandLine = std::string("\"") + self + "\" " + kTestFilter;
    SetEnvironmentVariableA(kPeerVariable, role.c_str());
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    const BOOL started = CreateProcessA(self, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                        nullptr, &startup, &process);
    SetEnvironmentVariableA(kPeerVariable, nullptr);
    if (!started) return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

bool peerRole(std::string& server, DWORD& parentId) {
    char role[256];
    const DWORD length = GetEnvironmentVariableA(kPeerVariable, role, sizeof role);
    if (length == 0 || length >= sizeof role) return false;
    char host[64];
    unsigned long id = 0;
    if (std::sscanf(role, "%63s %lu", host, &id) != 2) return false;
    server = host;
    parentId = id;
    return true;
}

}  // namespace

TEST(LoadTwoProcesses, BothCopiesDeliverThroughOneSharedLock) {
    std::string peerServer;
    DWORD parentId = 0;
    if (peerRole(peerServer, parentId)) {
        playPeer(peerServer, parentId);
        return;
    }

    MailLab lab;
    const LabServer server = lab.startSmtp();
    const Rendezvous meet(GetCurrentProcessId());
    TestHost host;
    host.writeSettings(forwardingTo(server.host));
    host.load();
    host.start();
    const HANDLE peer = startPeer(server);
    ASSERT_NE(peer, nullptr);
    ASSERT_EQ(WaitForSingleObject(meet.ready(), kPeerStartMs), WAIT_OBJECT_0);

    // Holding the mutex the two copies share keeps both from sending.
    const HANDLE lock = CreateMutexA(nullptr, FALSE, kSharedLock);
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    ASSERT_EQ(WaitForSingleObject(lock, kHoldMs * 4), WAIT_OBJECT_0);
    SetEvent(meet.go());
    broadcastMails(host, kParentName);
    Sleep(kHoldMs);
    EXPECT_EQ(lab.connectionCount(server), 0u);
    ReleaseMutex(lock);
    CloseHandle(lock);

    EXPECT_TRUE(lab.waitForMails(server, 2 * kMailsPerProcess, deliveryTimeMs(kMailsPerProcess)));
    SetEvent(meet.done());
    const std::vector<ReceivedMail> mails = lab.mails(server);
    EXPECT_EQ(mails.size(), 2 * kMailsPerProcess);
    EXPECT_EQ(bodiesFrom(mails, kParentName), expectedBodies());
    EXPECT_EQ(bodiesFrom(mails, kPeerName), expectedBodies());
    EXPECT_EQ(lab.connectionCount(server), 2u);

    DWORD peerExit = 1;
    EXPECT_EQ(WaitForSingleObject(peer, kPeerExitMs), WAIT_OBJECT_0);
    GetExitCodeProcess(peer, &peerExit);
    CloseHandle(peer);
    EXPECT_EQ(peerExit, 0u) << "the peer process failed its part";
}
