#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ForwardingSettings.h"
#include "MailLab.h"
#include "TestHost.h"

// SMTP servers that misbehave: the host's thread never waits for them, the
// sender thread never runs ahead of them or gets stuck with them, and the
// mails that could have gone out do.
namespace {

const size_t kKilobyte = 1024;
// The sender pauses a second after each mail before it looks again.
const DWORD kMailPauseMs = 1000;
const DWORD kPeerTimeMs = 20000;
// A stop waits 2000 ms for the sender, then has it abort.
const DWORD kStopBoundMs = 3500;
const DWORD kBroadcastBoundMs = 1000;
// Long enough that a client which took a partial reply for a whole one has
// spoken before the rest arrives.
const int kQuietMs = 300;

std::string longReply(const char* code, size_t length) {
    return std::string(code) + " " + std::string(length, 'x') + "\r\n";
}

// A peer whose every reply is one line of the given length, with a pause
// before each in which a client that took part of a reply for all of it
// would already have spoken.
PeerScript longReplies(size_t length) {
    PeerScript script;
    script.send(longReply("220", length)).expect("HELO ").quiet(kQuietMs).send(longReply("250", length));
    script.expect("MAIL FROM: ").quiet(kQuietMs).send(longReply("250", length));
    script.expect("RCPT TO: ").quiet(kQuietMs).send(longReply("250", length));
    script.expect("DATA").quiet(kQuietMs).send(longReply("354", length)).readData();
    script.quiet(kQuietMs).send(longReply("250", length)).expect("QUIT").send("221 bye\r\n").close();
    return script;
}

class FaultServer : public ::testing::Test {
protected:
    void startHost(const LabServer& server) {
        host.writeSettings(forwardingTo(server.host));
        host.load();
        host.start();
    }

    void broadcast(const char* name, const char* text) {
        const DWORD start = GetTickCount();
        ASSERT_TRUE(host.broadcast("AIM", 1, name, kPrivateMessage, text));
        EXPECT_LT(GetTickCount() - start, kBroadcastBoundMs);
    }

    DWORD timedStop() {
        const DWORD start = GetTickCount();
        host.stop();
        return GetTickCount() - start;
    }

    // One mail through a peer whose replies are lines of the given length.
    void deliverThroughLongReplies(size_t length) {
        const LabServer server = lab.startScript(longReplies(length));
        startHost(server);
        broadcast("ann", "through long replies");
        const std::vector<LabConnection> connections = endedConnections(server, 1);
        ASSERT_EQ(connections.size(), 1u);
        EXPECT_EQ(connections[0].errors, std::vector<std::string>());
        EXPECT_NE(connections[0].transcript.find("\r\nthrough long replies\r\n"), std::string::npos);
    }

    // The peer's connections once the first `count` of them have ended.
    std::vector<LabConnection> endedConnections(const LabServer& server, size_t count) {
        std::vector<LabConnection> connections;
        EXPECT_TRUE(waitUntil(
            [&] {
                connections = lab.connections(server);
                return connections.size() >= count && !connections[count - 1].open;
            },
            kPeerTimeMs));
        return connections;
    }

    MailLab lab;
    TestHost host;
};

}  // namespace

TEST_F(FaultServer, RepliesOfSixtyKilobyteLines) { deliverThroughLongReplies(60 * kKilobyte); }

// A reply is followed to its end however long it is: a client that stopped
// early would speak before the server had answered and lose the mail.
TEST_F(FaultServer, RepliesOfSixtyFourKilobyteLines) {
    deliverThroughLongReplies(64 * kKilobyte);
}

// A server that hangs up inside the data loses that mail; the sender thread
// goes on, and the next message opens a new connection.
TEST_F(FaultServer, HangUpInsideTheDataLosesOnlyThatMail) {
    PeerScript script;
    script.greet().expect("MAIL FROM: ").send("250 ok\r\n").expect("RCPT TO: ").send("250 ok\r\n");
    script.expect("DATA").send("354 go ahead\r\n").expect("TO: ").close();
    const LabServer server = lab.startScript(script);
    startHost(server);

    broadcast("ann", "first");
    endedConnections(server, 1);
    Sleep(kMailPauseMs * 2);
    broadcast("ann", "second");
    const std::vector<LabConnection> connections = endedConnections(server, 2);
    ASSERT_EQ(connections.size(), 2u);
    EXPECT_NE(connections[1].transcript.find("MAIL FROM: "), std::string::npos);
    EXPECT_LT(timedStop(), kStopBoundMs);
}

// A server that accepts the connection and never says a word holds up
// neither the host's broadcasts nor its stop.
TEST_F(FaultServer, SilentServerHoldsUpNeitherBroadcastsNorStop) {
    const LabServer server = lab.startScript(PeerScript().silent());
    startHost(server);
    broadcast("ann", "one");
    ASSERT_TRUE(lab.waitForConnections(server, 1));
    broadcast("ann", "two");
    EXPECT_LT(timedStop(), kStopBoundMs);
    EXPECT_TRUE(endedConnections(server, 1)[0].transcript.empty());
}

// A contact name of a thousand characters would make a SUBJECT line longer
// than a server has to take; folded, the mail arrives.
TEST_F(FaultServer, ThousandCharacterNameStillArrives) {
    const LabServer server = lab.startSmtp();
    startHost(server);
    const std::string name(1000, 'n');
    broadcast(name.c_str(), "hi");
    ASSERT_TRUE(lab.waitForMails(server, 1, kPeerTimeMs));
    EXPECT_EQ(bodyOf(lab.mails(server)[0].data), "hi");
}
