#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "delivery/MailOutcome.h"
#include "delivery/RetryBacklog.h"

namespace {

uint64_t fakeNow = 0;
uint64_t fakeClock() { return fakeNow; }

const uint64_t kSecond = 1000;
const uint64_t kMinute = 60 * kSecond;

DeliveryJob job(const std::string& subject, int32_t retryMinutes = 30) {
    return DeliveryJob(MailJob{"smtp.example.org", "me@example.org", "you@example.net", subject, "body"},
                       retryMinutes);
}

DeliveryOutcome opened(const SmtpOutcome& outcome) { return MailOutcome::opened("smtp.example.org", 25, outcome); }
DeliveryOutcome sent(const SmtpOutcome& outcome) { return MailOutcome::sent("smtp.example.org", 25, outcome); }
SmtpOutcome refusal(SmtpStage stage, int code) { return SmtpOutcome::failure(stage, "refused", code); }

class RetryBacklogTest : public ::testing::Test {
protected:
    RetryBacklogTest() {
        fakeNow = 1000 * kSecond;
        RetryTiming timing;
        timing.now = fakeClock;
        backlog.setTiming(timing);
    }

    // When the next attempt is due after the clock stands at `now`.
    uint64_t nextDue() const {
        uint64_t step = fakeNow;
        while (!backlog.due()) fakeNow = ++step;
        return step;
    }

    RetryBacklog backlog;
};

}  // namespace

TEST(RetryRules, KeepTemporaryFailuresAndNeverPermanentOnes) {
    EXPECT_TRUE(keepsMailsAfterOpen(opened(SmtpOutcome::failure(SmtpStage::Connect, "refused"))));
    EXPECT_TRUE(keepsMailsAfterOpen(opened(refusal(SmtpStage::Greeting, 421))));
    EXPECT_TRUE(keepsMailsAfterOpen(opened(refusal(SmtpStage::Login, 454))));
    EXPECT_FALSE(keepsMailsAfterOpen(opened(refusal(SmtpStage::Login, 535))));
    EXPECT_FALSE(keepsMailsAfterOpen(opened(SmtpOutcome::success(SmtpStage::Hello, 250))));

    for (SmtpStage stage :
         {SmtpStage::MailFrom, SmtpStage::Recipient, SmtpStage::Data, SmtpStage::EndOfData}) {
        EXPECT_TRUE(refusedForNow(sent(refusal(stage, 451)))) << stageName(stage);
        EXPECT_FALSE(refusedForNow(sent(refusal(stage, 550)))) << stageName(stage);
    }
    // A break before the data cannot have delivered the mail; one after it may have.
    EXPECT_TRUE(refusedForNow(sent(SmtpOutcome::failure(SmtpStage::MailFrom, "the connection broke"))));
    EXPECT_FALSE(refusedForNow(sent(SmtpOutcome::failure(SmtpStage::EndOfData, "the connection broke"))));
    EXPECT_FALSE(refusedForNow(sent(SmtpOutcome::success(SmtpStage::EndOfData, 250))));
}

TEST_F(RetryBacklogTest, PausesStartAtThirtySecondsAndDoubleUpToFiveMinutes) {
    ASSERT_TRUE(backlog.keepWaiting(job("one")));
    std::vector<uint64_t> pauses;
    for (int attempt = 0; attempt < 6; ++attempt) {
        const uint64_t failedAt = fakeNow;
        backlog.attemptFailed();
        pauses.push_back(nextDue() - failedAt);
    }
    EXPECT_EQ(pauses, (std::vector<uint64_t>{30 * kSecond, 60 * kSecond, 120 * kSecond, 240 * kSecond,
                                             300 * kSecond, 300 * kSecond}));

    // Once nothing is kept, the next mail kept starts again at 30 s.
    EXPECT_EQ(backlog.dropAll(), 1u);
    backlog.keepWaiting(job("two"));
    const uint64_t failedAt = fakeNow;
    backlog.attemptFailed();
    EXPECT_EQ(nextDue() - failedAt, 30 * kSecond);
}

TEST_F(RetryBacklogTest, KeepsMailsInOrderUntilTheyAreOlderThanTheirRetryMinutes) {
    EXPECT_FALSE(backlog.keepWaiting(job("never kept", 0)));
    backlog.keepWaiting(job("short", 1));
    fakeNow += 10 * kSecond;
    backlog.keepWaiting(job("long", 2));
    EXPECT_EQ(backlog.front()->mail.subject, "short");

    fakeNow += kMinute - 10 * kSecond;
    EXPECT_EQ(backlog.dropExpired().count, 0u) << "exactly a minute old is not older";
    fakeNow += 1;
    const ExpiredMails expired = backlog.dropExpired();
    EXPECT_EQ(expired.count, 1u);
    EXPECT_EQ(expired.retryMinutes, 1);
    EXPECT_EQ(backlog.front()->mail.subject, "long");
    fakeNow += kMinute + 10 * kSecond;
    EXPECT_EQ(backlog.dropExpired().count, 1u);
    EXPECT_TRUE(backlog.empty());
}

// A kept mail refused for now again goes back to the front with the age it
// had; a new mail refused for now is kept from then on.
TEST_F(RetryBacklogTest, MailRefusedForNowGoesBackToTheFrontWithItsAge) {
    backlog.keepWaiting(job("old", 1));
    backlog.keepWaiting(job("next", 1));
    fakeNow += 50 * kSecond;
    const DeliveryJob taken = *backlog.take();
    EXPECT_TRUE(backlog.mailDone(taken, sent(refusal(SmtpStage::Recipient, 450))));
    EXPECT_EQ(backlog.front()->mail.subject, "old");
    EXPECT_FALSE(backlog.due());
    fakeNow += 11 * kSecond;
    EXPECT_EQ(backlog.dropExpired().count, 2u);

    backlog.take();
    EXPECT_FALSE(backlog.mailDone(job("sent"), sent(SmtpOutcome::success(SmtpStage::EndOfData, 250))));
    EXPECT_FALSE(backlog.mailDone(job("refused", 30), sent(refusal(SmtpStage::Recipient, 550))));
    EXPECT_FALSE(backlog.mailDone(job("no retries", 0), sent(refusal(SmtpStage::Recipient, 451))));
    EXPECT_TRUE(backlog.empty());
    EXPECT_TRUE(backlog.mailDone(job("new", 1), sent(refusal(SmtpStage::EndOfData, 452))));
    fakeNow += kMinute;
    EXPECT_EQ(backlog.dropExpired().count, 0u);
    EXPECT_EQ(backlog.size(), 1u);
}
