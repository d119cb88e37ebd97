#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "TempDir.h"
#include "delivery/DeliveryLog.h"
#include "delivery/DeliveryLogLine.h"
#include "delivery/FailureText.h"
#include "delivery/MailOutcome.h"
#include "mail/SmtpOutcome.h"

namespace {

const char kServer[] = "smtp.example.com";
const MailTime kTime = {2026, 12, 9, 7, 5, 3};

SmtpOutcome refused(SmtpStage stage, int code, const char* detail = "") {
    return SmtpOutcome::failure(stage, detail, code, code ? std::to_string(code) + " no" : "");
}

SmtpOutcome refusedWith(SmtpStage stage, const std::string& line) {
    return SmtpOutcome::failure(stage, "the server refused", std::stoi(line.substr(0, 3)), line);
}

std::string contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(FailureText, SaysWhichServerRefusedWhatWithItsReply) {
    const struct {
        SmtpOutcome outcome;
        const char* words;
    } cases[] = {
        {refused(SmtpStage::NameLookup, 0, "the server's name was not found"),
         "could not find smtp.example.com"},
        {refused(SmtpStage::Connect, 0, "connection refused"),
         "could not connect to smtp.example.com:587 (connection refused)"},
        {refused(SmtpStage::Login, 535, "the server refused"), "smtp.example.com refused the login (535 no)"},
        {refused(SmtpStage::Certificate, 0, "the name does not match"),
         "smtp.example.com failed the certificate check (the name does not match)"},
        {refused(SmtpStage::Recipient, 550), "smtp.example.com refused the recipient (550 no)"},
        {refused(SmtpStage::EndOfData, 0, "the connection broke"),
         "smtp.example.com did not confirm the mail (the connection broke)"},
    };
    for (const auto& c : cases) EXPECT_EQ(FailureText::describe(kServer, 587, c.outcome), c.words);
    const std::string reason = "530 5.7.0 Must issue a STARTTLS command first";
    EXPECT_EQ(FailureText::describe(kServer, 587, refusedWith(SmtpStage::MailFrom, reason + std::string(99, '!'))),
              "smtp.example.com refused the sender (" + reason + std::string(80 - reason.size(), '!') + ")");

    EXPECT_EQ(FailureText::alert(kServer, 587, refused(SmtpStage::Login, 535), 3),
              "IM: mail not sent: smtp.example.com refused the login (535 no); 3 mails dropped");
    EXPECT_EQ(FailureText::alert(kServer, 25, refused(SmtpStage::Recipient, 550), 1),
              "IM: mail not sent: smtp.example.com refused the recipient (550 no); 1 mail dropped");
    EXPECT_EQ(FailureText::testMailResult(kServer, 587, refused(SmtpStage::Connect, 0, "timed out")),
              "Not sent: could not connect to smtp.example.com:587 (timed out)");
    EXPECT_EQ(FailureText::testMailResult(kServer, 587, SmtpOutcome::success(SmtpStage::EndOfData, 250, "250 2.0.0 Ok")),
              "Sent: 250 2.0.0 Ok");
}

TEST(DeliveryLogLine, OneLineOfTimeServerRecipientOutcomeCodeAndReply) {
    EXPECT_EQ(DeliveryLogLine::connected(
                  kTime, kServer, 25,
                  MailOutcome::opened(kServer, 25, SmtpOutcome::success(SmtpStage::Hello, 250, "250 mx"))),
              "2026-12-09 07:05:03 UTC | smtp.example.com:25 | - | connected | 250 | mx");
    EXPECT_EQ(DeliveryLogLine::notConnected(
                  kTime, kServer, 25,
                  MailOutcome::opened(kServer, 25, refused(SmtpStage::Connect, 0, "connection refused")), 4),
              "2026-12-09 07:05:03 UTC | smtp.example.com:25 | - | not connected at connect, 4 "
              "dropped | - | connection refused");
    EXPECT_EQ(DeliveryLogLine::mail(
                  kTime, kServer, 25, "me@example.net",
                  MailOutcome::sent(kServer, 25, SmtpOutcome::success(SmtpStage::EndOfData, 250, "250 queued"))),
              "2026-12-09 07:05:03 UTC | smtp.example.com:25 | me@example.net | sent | 250 | queued");
    // A reply cannot begin a line of its own, nor grow the log without end.
    const std::string line = DeliveryLogLine::mail(
        kTime, kServer, 25, "me@x\r\ny",
        MailOutcome::sent(kServer, 25,
                          SmtpOutcome::failure(SmtpStage::Recipient, "", 550, "550 no\r\nfake" + std::string(500, 'z'))));
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
    EXPECT_NE(line.find("| me@x  y | not sent at RCPT | 550 | no  fake"), std::string::npos);
    EXPECT_LT(line.size(), 300u);
}

// Every line goes to the log; the log never reaches 256 KiB: the line that
// would make it do so first moves it to IMTolvane.log.1, replacing the one
// before, so the newest lines are always kept in order across the two files.
TEST(DeliveryLog, RollsOverBelowTheLimitKeepingTheNewestLines) {
    TempDir directory;
    DeliveryLog log(directory.path());
    const size_t lines = 600;  // a little over two files' worth of 1002 bytes each
    for (size_t i = 0; i < lines; ++i) {
        char number[8];
        std::snprintf(number, sizeof number, "%06u", static_cast<unsigned>(i));
        log.append(number + std::string(994, 'x'));
    }
    const std::string current = contents(directory.file("IMTolvane.log"));
    const std::string older = contents(directory.file("IMTolvane.log.1"));
    EXPECT_LT(current.size(), DeliveryLog::kLimitBytes);
    EXPECT_LT(older.size(), DeliveryLog::kLimitBytes);
    EXPECT_GT(older.size(), DeliveryLog::kLimitBytes - 1002);
    ASSERT_EQ(current.size() % 1002, 0u);
    ASSERT_EQ(older.size() % 1002, 0u);
    const auto numberAt = [](const std::string& text, size_t offset) {
        return std::stoul(text.substr(offset, 6));
    };
    EXPECT_GT(numberAt(older, 0), 0u);
    EXPECT_EQ(numberAt(older, older.size() - 1002) + 1, numberAt(current, 0));
    EXPECT_EQ(numberAt(current, current.size() - 1002), lines - 1);
}

// When IMTolvane.log.1 cannot be replaced (held open by a viewer, or
// read-only), the log still stays below its limit and keeps its newest line.
TEST(DeliveryLog, StaysBelowTheLimitWhenTheOlderLogCannotBeReplaced) {
    TempDir directory;
    const std::string older = directory.file("IMTolvane.log.1");
    const HANDLE viewer = CreateFileA(older.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
    DeliveryLog log(directory.path());
    for (int i = 0; i < 600; ++i) log.append(std::to_string(100000 + i) + std::string(994, 'x'));
    CloseHandle(viewer);
    const std::string current = contents(directory.file("IMTolvane.log"));
    EXPECT_LT(current.size(), DeliveryLog::kLimitBytes);
    ASSERT_GE(current.size(), 1002u);
    EXPECT_EQ(current.substr(current.size() - 1002, 6), "100599");
    EXPECT_TRUE(contents(older).empty());
}
