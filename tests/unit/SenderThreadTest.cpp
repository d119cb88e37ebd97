#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "MailLab.h"
#include "delivery/MailQueue.h"
#include "delivery/SenderThread.h"

namespace {

const char kSender[] = "me@example.org";
const char kHeloDomain[] = "example.org";

MailJob job(const LabServer& server, const std::string& subject, const std::string& sender = kSender) {
    return MailJob{server.host, sender, "you@example.net", subject, "body of " + subject};
}

std::vector<std::string> subjectsOf(const std::vector<ReceivedMail>& mails) {
    std::vector<std::string> subjects;
    for (const ReceivedMail& mail : mails) {
        const std::size_t start = mail.data.find("SUBJECT: ") + 9;
        subjects.push_back(mail.data.substr(start, mail.data.find("\r\n", start) - start));
    }
    return subjects;
}

class SenderThreadTest : public ::testing::Test {
protected:
    SenderThreadTest() : queue(lockName.c_str()) {}
    void TearDown() override { sender.stop(); }

    // The session ends with QUIT after the pause of its last mail.
    bool waitUntilClosed(const LabServer& server) {
        return waitUntil([&] { return !lab.connections(server).back().open; }, 5000);
    }

    // A stop that finds the thread busy waits its full grace period, then
    // aborts it; the thread then ends by itself, well before it is killed.
    void expectAbortedStop() {
        const DWORD start = GetTickCount();
        EXPECT_EQ(sender.stop(), StopOutcome::Aborted);
        const DWORD waited = GetTickCount() - start;
        EXPECT_GE(waited, 1900u);
        EXPECT_LT(waited, 2500u);
    }

    const std::string lockName = "tolvane-test-sender-" + std::to_string(GetCurrentProcessId());
    MailLab lab;
    MailQueue queue;
    SenderThread sender;
};

using Clock = std::chrono::steady_clock;

long long millisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

}  // namespace

TEST_F(SenderThreadTest, StopWhileIdleEndsTheThreadAtOnce) {
    sender.start(queue);
    EXPECT_TRUE(sender.started());
    Sleep(300);
    const DWORD start = GetTickCount();
    EXPECT_EQ(sender.stop(), StopOutcome::Ended);
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_FALSE(sender.started());
}

// The front job names the server and the HELO domain for every job waiting
// behind it, and for one appended while the batch is being sent.
TEST_F(SenderThreadTest, WaitingJobsShareOneSessionWithTheFrontJobsServerAndHelo) {
    const LabServer server = lab.startSmtp();
    const LabServer elsewhere = lab.unreachable();
    queue.enqueue(job(server, "one"));
    queue.enqueue(job(elsewhere, "two", "other@other.org"));
    queue.enqueue(job(elsewhere, "three"));
    sender.start(queue);
    ASSERT_TRUE(lab.waitForMails(server, 1));
    queue.enqueue(job(elsewhere, "appended", "late@other.org"));

    ASSERT_TRUE(lab.waitForMails(server, 4));
    EXPECT_TRUE(waitUntilClosed(server));
    const std::vector<LabConnection> connections = lab.connections(server);
    ASSERT_EQ(connections.size(), 1u);
    EXPECT_EQ(connections[0].helo, kHeloDomain);
    EXPECT_EQ(subjectsOf(connections[0].mails),
              (std::vector<std::string>{"one", "two", "three", "appended"}));
    EXPECT_EQ(connections[0].mails[1].from, "other@other.org");
    EXPECT_EQ(occurrences(connections[0].transcript, "HELO "), 1u);
    EXPECT_EQ(occurrences(connections[0].transcript, "QUIT\r\n"), 1u);
    EXPECT_EQ(queue.waiting(), 0u);
}

TEST_F(SenderThreadTest, FailedConnectionDropsEveryWaitingJobAndALaterJobTriesAgain) {
    const LabServer server = lab.startSmtp();
    const LabServer unreachable = lab.unreachable();
    queue.enqueue(job(unreachable, "one"));
    for (const char* subject : {"two", "three", "four", "five"}) queue.enqueue(job(server, subject));
    sender.start(queue);

    ASSERT_TRUE(waitUntil([&] { return queue.waiting() == 0u; }, 3000));
    // Had the jobs been tried one by one, the last four would reach the server.
    Sleep(300);
    EXPECT_EQ(lab.connectionCount(server), 0u);

    queue.enqueue(job(server, "six"));
    ASSERT_TRUE(lab.waitForMails(server, 1));
    EXPECT_EQ(subjectsOf(lab.mails(server)), std::vector<std::string>{"six"});
}

TEST_F(SenderThreadTest, StopDuringALongBatchKeepsUntakenJobsForTheNextStart) {
    const LabServer server = lab.startSmtp();
    const std::vector<std::string> subjects = {"one", "two", "three", "four", "five"};
    for (const std::string& subject : subjects) queue.enqueue(job(server, subject));
    sender.start(queue);
    ASSERT_TRUE(lab.waitForMails(server, 1));
    // Halfway through a pause, so the abort never meets a mail being sent.
    Sleep(500);

    expectAbortedStop();
    const std::size_t sent = lab.mails(server).size();
    EXPECT_LT(sent, subjects.size());
    EXPECT_EQ(queue.waiting(), subjects.size() - sent);

    sender.start(queue);
    ASSERT_TRUE(lab.waitForMails(server, subjects.size(), 10000));
    EXPECT_EQ(subjectsOf(lab.mails(server)), subjects);
    EXPECT_EQ(lab.connectionCount(server), 2u);
}

TEST_F(SenderThreadTest, StopWhileTheServerNeverAnswersEndsTheThreadByItself) {
    const LabServer silent = lab.startScript(PeerScript().silent());
    queue.enqueue(job(silent, "stuck"));
    sender.start(queue);
    ASSERT_TRUE(lab.waitForConnections(silent, 1));

    expectAbortedStop();
    EXPECT_EQ(queue.waiting(), 1u);
}

TEST_F(SenderThreadTest, PausesAboutOneSecondAfterEachMailOfABatch) {
    const LabServer server = lab.startSmtp();
    for (const char* subject : {"one", "two", "three"}) queue.enqueue(job(server, subject));
    sender.start(queue);
    ASSERT_TRUE(lab.waitForMails(server, 3));
    const std::vector<ReceivedMail> mails = lab.mails(server);
    for (std::size_t i = 1; i < mails.size(); ++i) {
        const unsigned long long gap = mails[i].receivedMs - mails[i - 1].receivedMs;
        EXPECT_GE(gap, 950u) << "after mail " << i;
        EXPECT_LT(gap, 3000u) << "after mail " << i;
    }
}

// An idle thread looks at the queue about ten times a second: a job that
// comes in is taken within one pause of about 100 ms, on average half of
// it, never at once every time as by a thread that does not pause. The
// server is unreachable, so a taken job is dropped at once.
TEST_F(SenderThreadTest, IdleThreadLooksAtTheQueueAboutTenTimesASecond) {
    const LabServer unreachable = lab.unreachable();
    sender.start(queue);
    const int rounds = 12;
    long long total = 0;
    for (int round = 0; round < rounds; ++round) {
        Sleep(40 + 23 * round % 100);  // meet the pause at different points
        const Clock::time_point start = Clock::now();
        queue.enqueue(job(unreachable, "probe"));
        while (queue.waiting() != 0u && millisecondsSince(start) < 3000) Sleep(1);
        total += millisecondsSince(start);
    }
    EXPECT_EQ(queue.waiting(), 0u);
    EXPECT_GE(total / rounds, 20);
    EXPECT_LT(total / rounds, 400);
}

// A thread that the abort cannot reach, here one waiting up to 5000 ms for
// the queue's lock, is killed once the abort's own wait runs out; the stop
// returns, the jobs stay queued, and a later start sends them.
TEST_F(SenderThreadTest, ThreadTheAbortCannotReachIsTerminatedAndALaterStartSendsItsJobs) {
    const LabServer server = lab.startSmtp();
    queue.enqueue(job(server, "one"));
    queue.enqueue(job(server, "two"));
    HANDLE held = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE letGo = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        QueueLock lock(lockName.c_str());
        if (!lock.acquire()) return;
        SetEvent(held);
        WaitForSingleObject(letGo, INFINITE);
        lock.release();
    });
    ASSERT_EQ(WaitForSingleObject(held, 5000), WAIT_OBJECT_0);
    sender.start(queue);
    Sleep(200);

    const DWORD start = GetTickCount();
    EXPECT_EQ(sender.stop(), StopOutcome::Terminated);
    const DWORD waited = GetTickCount() - start;
    EXPECT_GE(waited, 2400u);
    EXPECT_LT(waited, 4500u) << "the stop returns before the lock wait would have ended";
    SetEvent(letGo);
    holder.join();
    CloseHandle(held);
    CloseHandle(letGo);
    EXPECT_EQ(queue.waiting(), 2u);

    sender.start(queue);
    ASSERT_TRUE(lab.waitForMails(server, 2));
    EXPECT_EQ(subjectsOf(lab.mails(server)), (std::vector<std::string>{"one", "two"}));
}

// The stop reaches a sender that waits inside a TLS handshake the same way.
TEST_F(SenderThreadTest, StopDuringATlsHandshakeEndsTheThreadByItself) {
    PeerScript afterStartTls = PeerScript().send("220 ready\r\n").expect("EHLO ");
    afterStartTls.send("250-peer\r\n250 STARTTLS\r\n").expect("STARTTLS").send("220 go ahead\r\n").silent();
    const struct {
        const char* what;
        PeerScript script;
        SmtpSecurity security;
        const char* before;  // what the client sends before its TLS hello
    } cases[] = {{"TLS from the first byte", PeerScript().silent(), SmtpSecurity::Tls, ""},
                 {"after STARTTLS", afterStartTls, SmtpSecurity::StartTls, "STARTTLS\r\n"}};
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        const LabServer server = lab.startScript(test.script);
        MailJob stuck = job(server, "stuck");
        stuck.options.security = test.security;
        stuck.options.port = server.port;
        queue.enqueue(stuck);
        sender.start(queue);
        const std::string before = test.before;
        ASSERT_TRUE(waitUntil(
            [&] {
                const std::vector<LabConnection> connections = lab.connections(server);
                if (connections.empty()) return false;
                const std::size_t at = connections[0].transcript.find(before);
                return at != std::string::npos && connections[0].transcript.size() > at + before.size();
            },
            5000));

        expectAbortedStop();
        EXPECT_EQ(queue.waiting(), 1u);
        queue.discardAll();
    }
}

// Neither a connect to a host that drops packets nor a name lookup can hold
// up a stop: the thread ends by itself within the stop's wait.
TEST_F(SenderThreadTest, StopDuringAConnectOrANameLookupEndsTheThreadByItself) {
    const LabServer blackhole = lab.blackhole();
    for (const std::string& server : {blackhole.host, std::string("no-such-host.invalid")}) {
        SCOPED_TRACE(server);
        MailJob stuck = job(blackhole, "stuck");
        stuck.server = server;
        queue.enqueue(stuck);
        sender.start(queue);
        Sleep(300);
        const DWORD start = GetTickCount();
        EXPECT_NE(sender.stop(), StopOutcome::Terminated);
        EXPECT_LT(GetTickCount() - start, 2500u);
        queue.discardAll();
    }
}
