#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MailLab.h"
#include "mail/MailQueue.h"
#include "mail/SenderThread.h"

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
    SenderThreadTest() : queue(("tolvane-test-sender-" + std::to_string(GetCurrentProcessId())).c_str()) {}
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

    MailLab lab;
    MailQueue queue;
    SenderThread sender;
};

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
