#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "ForwardingSettings.h"
#include "MailLab.h"
#include "TestHost.h"

// Whatever the host passes with a broadcast, the plug-in neither crashes nor
// stalls, answers 0, and does with the rest what it would do with texts.
namespace {

const size_t kMegabyte = 1024 * 1024;
const char kCharLimit[] = "100";
// Enough parts for a megabyte in pieces of "CharLimit".
const char kMessageLimit[] = "20000";
const char kReply[] = "forwarded";
// The reply's addressee goes into a buffer of 256 bytes.
const size_t kReplyNameLength = 255;
// Far more than a broadcast of a megabyte needs; far less than a hung host.
const DWORD kBroadcastBoundMs = 10000;

MessageRecord message(const char* medium, const char* name, const char* type, const char* text) {
    MessageRecord record;
    std::memset(&record, 0, sizeof record);
    record.size = sizeof record;
    record.medium = medium;
    record.connection = 5;
    record.name = name;
    record.type = type;
    record.text = text;
    return record;
}

class FaultBroadcast : public ::testing::Test {
protected:
    // Started with forwarding, alert and reply on, splitting at 100, and a
    // server that refuses every connection, so that queued mails are dropped.
    void SetUp() override {
        host.writeSettings(forwardingTo(lab.unreachable().host,
                                        {{"Reply Enabled", "1"},
                                         {"Reply", kReply},
                                         {"Char Limit Enabled", "1"},
                                         {"CharLimit", kCharLimit},
                                         {"Message Limit", kMessageLimit}}));
        host.load();
        host.start();
        host.clearRequests();
    }

    // Broadcasts the record; the requests it caused.
    std::vector<std::string> send(MessageRecord record, const char* eventName = "message_broadcast") {
        host.clearRequests();
        const DWORD start = GetTickCount();
        EXPECT_EQ(host.broadcastRaw(eventName, &record), 0);
        EXPECT_LT(GetTickCount() - start, kBroadcastBoundMs);
        return host.requestNames();
    }

    MailLab lab;
    TestHost host;
};

using Names = std::vector<std::string>;
const Names kForwarded = {"systraySetAlert", "messageSend"};
const Names kForwardedWithoutReply = {"systraySetAlert"};
const Names kNothing = {};

}  // namespace

TEST_F(FaultBroadcast, NullPointersInAnyField) {
    EXPECT_EQ(send(message("AIM", "ann", kPrivateMessage, "hi")), kForwarded);
    EXPECT_EQ(send(message(nullptr, "ann", kPrivateMessage, "hi")), kForwardedWithoutReply);
    EXPECT_EQ(send(message("AIM", nullptr, kPrivateMessage, "hi")), kForwarded);
    EXPECT_EQ(host.last("systraySetAlert").alertText, "IM:  has been forwarded");
    EXPECT_EQ(host.last("messageSend").partyName, "");
    EXPECT_EQ(send(message("AIM", "ann", nullptr, "hi")), kNothing);
    EXPECT_EQ(send(message("AIM", "ann", kPrivateMessage, nullptr)), kNothing);
    EXPECT_EQ(send(message(nullptr, nullptr, nullptr, nullptr)), kNothing);
}

TEST_F(FaultBroadcast, MegabyteTexts) {
    const std::string huge(kMegabyte, 'x');
    EXPECT_EQ(send(message("AIM", "ann", kPrivateMessage, huge.c_str())), kForwarded);
    EXPECT_EQ(host.last("systraySetAlert").alertText,
              "IM: ann (Part 10486/10486) has been forwarded");

    const std::string unclosedTag = "hi <" + huge;
    EXPECT_EQ(send(message("AIM", "ann", kPrivateMessage, unclosedTag.c_str())), kForwarded);
    EXPECT_EQ(host.last("systraySetAlert").alertText, "IM: ann has been forwarded");
    const std::string onlyMarkup = "<" + huge;
    EXPECT_EQ(send(message("AIM", "ann", kPrivateMessage, onlyMarkup.c_str())), kNothing);

    EXPECT_EQ(send(message("AIM", huge.c_str(), kPrivateMessage, "hi")), kForwarded);
    EXPECT_EQ(host.last("systraySetAlert").alertText, "IM: " + huge + " has been forwarded");
    EXPECT_EQ(host.last("messageSend").partyName, huge.substr(0, kReplyNameLength));

    const std::string aimAndMore = "AIM" + huge;
    EXPECT_EQ(send(message(aimAndMore.c_str(), "ann", kPrivateMessage, "hi")), kForwardedWithoutReply);
    const std::string longType = kPrivateMessage + huge;
    EXPECT_EQ(send(message("AIM", "ann", longType.c_str(), "hi")), kNothing);
}

TEST_F(FaultBroadcast, LongNamesAreCutOnlyInTheReply) {
    const std::string name(300, 'n');
    EXPECT_EQ(send(message("AIM", name.c_str(), kPrivateMessage, "hi")), kForwarded);
    EXPECT_EQ(host.last("systraySetAlert").alertText, "IM: " + name + " has been forwarded");
    EXPECT_EQ(host.last("messageSend").partyName, name.substr(0, kReplyNameLength));
    EXPECT_EQ(host.last("messageSend").medium, "AIM");
    EXPECT_EQ(host.last("messageSend").text, kReply);
}

TEST_F(FaultBroadcast, UnknownEventNamesReachNothing) {
    const std::string huge(kMegabyte, 'e');
    const std::string longAndAlike = "message_broadcast" + huge;
    for (const char* name : {"message_broadcast ", "Message_broadcast", "", "message_broadcas",
                             longAndAlike.c_str(), huge.c_str()}) {
        EXPECT_EQ(send(message("AIM", "ann", kPrivateMessage, "hi"), name), kNothing);
    }
    EXPECT_EQ(send(message("AIM", "ann", kPrivateMessage, "hi"), nullptr), kNothing);
    for (const char* name : {huge.c_str(), "messageBroadcast", "unload "}) {
        EXPECT_EQ(host.event(name, nullptr), 0);
    }
    EXPECT_TRUE(host.requests().empty());
    EXPECT_EQ(send(message("AIM", "ann", kPrivateMessage, "hi")), kForwarded);
}

// While another thread (or another client process) holds the queue's lock
// past its wait, the mails are dropped; the sender must not then be told
// that the message was forwarded.
TEST_F(FaultBroadcast, MessageNotQueuedWhileTheSharedLockIsHeldIsNotReportedAsForwarded) {
    HANDLE lock = CreateMutexA(nullptr, FALSE, "ZTSMTPLock");
    HANDLE held = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(lock && held && done);
    std::thread holder([&] {
        WaitForSingleObject(lock, INFINITE);
        SetEvent(held);
        WaitForSingleObject(done, INFINITE);
        ReleaseMutex(lock);
    });
    WaitForSingleObject(held, INFINITE);
    EXPECT_EQ(send(message("AIM", "ann", kPrivateMessage, "hi")), kNothing);
    SetEvent(done);
    holder.join();
    EXPECT_EQ(send(message("AIM", "ann", kPrivateMessage, "hi")), kForwarded);
    for (HANDLE handle : {lock, held, done}) CloseHandle(handle);
}
