#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "ForwardingSettings.h"
#include "HostPlayer.h"
#include "MailLab.h"
#include "RequestRecorder.h"
#include "TempDir.h"
#include "forward/ContactFilter.h"
#include "forward/CooldownGatherer.h"
#include "forward/ForwardPlan.h"
#include "forward/QuietHours.h"
#include "plugin/PluginModule.h"
#include "settings/Settings.h"

namespace {

const uint64_t kSecond = 1000;
const uint64_t kMinute = 60 * kSecond;

int at(int hours, int minutes) { return hours * 60 + minutes; }

}  // namespace

TEST(QuietHours, SpansByDayAndAcrossMidnight) {
    const struct {
        const char* from;
        const char* to;
        int minute;
        bool quiet;
    } cases[] = {
        {"09:00", "17:00", at(9, 0), true},
        {"09:00", "17:00", at(16, 59), true},
        {"09:00", "17:00", at(17, 0), false},
        {"09:00", "17:00", at(8, 59), false},
        {"22:00", "7:00", at(23, 30), true},
        {"22:00", "7:00", at(0, 0), true},
        {"22:00", "7:00", at(6, 59), true},
        {"22:00", "7:00", at(7, 0), false},
        {"22:00", "7:00", at(21, 59), false},
        {" 22:00 ", "24:00", at(23, 59), true},
        {"00:00", "06:00", at(0, 0), true},
        // None: an end missing, unreadable or out of range, or both the same.
        {"", "07:00", at(3, 0), false},
        {"22:00", "", at(23, 0), false},
        {"10:00", "10:00", at(10, 0), false},
        {"22h", "07:00", at(23, 0), false},
        {"22:00", "7", at(23, 0), false},
        {"25:00", "07:00", at(3, 0), false},
        {"22:60", "07:00", at(23, 0), false},
        {"24:01", "07:00", at(3, 0), false},
        {"-1:00", "07:00", at(3, 0), false},
        {"2:3", "07:00", at(3, 0), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " to " + c.to + " at minute " + std::to_string(c.minute));
        EXPECT_EQ(QuietHours(c.from, c.to).covers(c.minute), c.quiet);
    }
}

TEST(ContactFilter, NamesCompareWithoutCaseOrBlanks) {
    EXPECT_TRUE(sameScreenName("Ann Smith", "annsmith"));
    EXPECT_TRUE(sameScreenName(" ANN\tsmith ", "a n n s m i t h"));
    EXPECT_FALSE(sameScreenName("ann", "annsmith"));
    EXPECT_FALSE(sameScreenName("annsmith", "ann"));
    EXPECT_FALSE(sameScreenName("ann", ""));
    // Only ASCII letters fold.
    EXPECT_FALSE(sameScreenName("\xC9mile", "\xE9mile"));

    const ContactFilter only(ContactFilter::kOnlyListed, " Ann Smith ,BOB,, ");
    const ContactFilter allBut(ContactFilter::kAllButListed, "Ann Smith,BOB");
    const ContactFilter everyone(ContactFilter::kEveryone, "Ann Smith");
    const ContactFilter unknownMode(7, "Ann Smith");
    const ContactFilter nobody(ContactFilter::kOnlyListed, " , ");
    const struct {
        const char* name;
        bool only;
        bool allBut;
    } cases[] = {
        {"annsmith", true, false}, {"AnnSmith", true, false}, {"bob", true, false},
        {"ann", false, true},      {"bobby", false, true},    {"carol", false, true},
        {"", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(only.passes(c.name), c.only);
        EXPECT_EQ(allBut.passes(c.name), c.allBut);
        EXPECT_TRUE(everyone.passes(c.name));
        EXPECT_TRUE(unknownMode.passes(c.name));
        EXPECT_FALSE(nobody.passes(c.name));
    }
}

namespace {

// A message arriving, or the clock reaching a time with nothing arriving.
struct Step {
    uint64_t atMs;
    const char* name;  // null: a tick of the timer
    const char* text;
};

// What went out: a message at once ("ann: hi") or a gathering ("ann: a|b").
std::vector<std::string> play(const std::vector<Step>& steps, uint64_t cooldownMs,
                              std::vector<std::optional<uint64_t>>* nextDue = nullptr) {
    CooldownGatherer gatherer;
    std::vector<std::string> sent;
    for (const Step& step : steps) {
        for (const GatheredMessages& gathered : gatherer.takeDue(step.atMs, cooldownMs)) {
            std::string joined;
            for (const std::string& text : gathered.texts) joined += (joined.empty() ? "" : "|") + text;
            sent.push_back(gathered.name + ": " + joined);
        }
        if (step.name && gatherer.arrive(step.name, "AIM", 1, step.text, step.atMs, cooldownMs)) {
            sent.push_back(std::string(step.name) + ": " + step.text);
        }
        if (nextDue) nextDue->push_back(gatherer.nextDueMs(cooldownMs));
    }
    return sent;
}

}  // namespace

TEST(CooldownGatherer, FirstMessageAtOnceTheRestTogetherWhenTheCooldownHasPassed) {
    const struct {
        const char* what;
        uint64_t cooldownMs;
        std::vector<Step> steps;
        std::vector<std::string> sent;
    } cases[] = {
        {"a burst of five in a minute",
         kMinute,
         {{0, "ann", "1"}, {10 * kSecond, "ann", "2"}, {20 * kSecond, "ann", "3"},
          {40 * kSecond, "ann", "4"}, {59 * kSecond, "ann", "5"}, {kMinute - 1, nullptr, nullptr},
          {kMinute, nullptr, nullptr}},
         {"ann: 1", "ann: 2|3|4|5"}},
        // The gathering counts as the last forward: what follows within its
        // cool-down is gathered again.
        {"the gathering starts the next cool-down",
         kMinute,
         {{0, "ann", "1"}, {30 * kSecond, "ann", "2"}, {kMinute, nullptr, nullptr},
          {90 * kSecond, "ann", "3"}, {2 * kMinute, nullptr, nullptr}, {3 * kMinute - 1, "ann", "4"},
          {3 * kMinute, nullptr, nullptr}},
         {"ann: 1", "ann: 2", "ann: 3", "ann: 4"}},
        {"a message after a quiet cool-down goes at once",
         kMinute,
         {{0, "ann", "1"}, {kMinute, "ann", "2"}, {kMinute + 1, "ann", "3"}, {2 * kMinute, nullptr, nullptr}},
         {"ann: 1", "ann: 2", "ann: 3"}},
        {"contacts do not hold each other up; names compare as screen names",
         kMinute,
         {{0, "Ann Smith", "1"}, {kSecond, "bob", "b"}, {2 * kSecond, "annsmith", "2"},
          {3 * kSecond, "BOB", "c"}, {kMinute, nullptr, nullptr}, {kMinute + kSecond, nullptr, nullptr}},
         {"Ann Smith: 1", "bob: b", "annsmith: 2", "BOB: c"}},
        // A late tick: the due gathering goes before the new message, which
        // the gathering's cool-down then holds.
        {"a message after a missed tick",
         kMinute,
         {{0, "ann", "1"}, {kSecond, "ann", "2"}, {5 * kMinute, "ann", "3"}, {6 * kMinute, nullptr, nullptr}},
         {"ann: 1", "ann: 2", "ann: 3"}},
        {"off", 0, {{0, "ann", "1"}, {0, "ann", "2"}}, {"ann: 1", "ann: 2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(play(c.steps, c.cooldownMs), c.sent);
    }
}

TEST(CooldownGatherer, TheTimerIsDueWhenTheEarliestGatheringIs) {
    std::vector<std::optional<uint64_t>> nextDue;
    play({{0, "ann", "1"}, {10 * kSecond, "bob", "1"}, {20 * kSecond, "bob", "2"},
          {30 * kSecond, "ann", "2"}, {kMinute, nullptr, nullptr}, {70 * kSecond, nullptr, nullptr}},
         kMinute, &nextDue);
    EXPECT_EQ(nextDue, (std::vector<std::optional<uint64_t>>{std::nullopt, std::nullopt, 70 * kSecond,
                                                             kMinute, 70 * kSecond, std::nullopt}));
}

TEST(CooldownGatherer, StopTakesAndUnloadCountsWhatIsGathered) {
    CooldownGatherer gatherer;
    gatherer.arrive("ann", "AIM", 1, "1", 0, kMinute);
    gatherer.arrive("ann", "AIM", 1, "2", 1, kMinute);
    gatherer.arrive("ann", "ICQ", 1, "1", 2, kMinute);
    gatherer.arrive("ann", "ICQ", 1, "2", 3, kMinute);
    gatherer.arrive("ann", "ICQ", 1, "3", 4, kMinute);
    const std::vector<GatheredMessages> all = gatherer.takeAll();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].medium, "ICQ");
    EXPECT_EQ(all[1].texts, (std::vector<std::string>{"2", "3"}));
    // Taken means forwarded: nothing is left to drop, and the next message goes.
    EXPECT_EQ(gatherer.dropAll(), 0u);
    EXPECT_TRUE(gatherer.arrive("ann", "AIM", 1, "3", 5, kMinute));
    gatherer.arrive("ann", "AIM", 1, "4", 6, kMinute);
    gatherer.arrive("ann", "AIM", 1, "5", 7, kMinute);
    EXPECT_EQ(gatherer.dropAll(), 2u);
    EXPECT_EQ(cooldownMilliseconds(1), kMinute);
    EXPECT_EQ(cooldownMilliseconds(1441), 0u);
    EXPECT_EQ(cooldownMilliseconds(-1), 0u);
}

TEST(CooldownGatherer, AGatheringIsOneForwardOfItsLinesWithoutAlertOrReply) {
    Settings settings;
    settings.forwardType = kForwardToEmail;
    settings.emailAddress = "me@example.net";
    settings.showSystrayAlert = true;
    settings.replyEnabled = true;
    settings.nameInBody = true;
    const GatheredMessages four{"ann", "AIM", 1, {"two", "three", "four", "five"}};

    ForwardPlan plan = planGathered(settings, four);
    ASSERT_EQ(plan.mails.size(), 1u);
    EXPECT_EQ(plan.mails[0].subject, "IM: ann (4 messages)");
    EXPECT_EQ(plan.mails[0].body, "ann: two\nthree\nfour\nfive");
    EXPECT_EQ(plan.destination, "me@example.net");
    EXPECT_FALSE(plan.raiseAlert);
    EXPECT_FALSE(plan.sendReply);

    EXPECT_EQ(planGathered(settings, {"ann", "AIM", 1, {"two"}}).mails[0].subject, "IM: ann (1 message)");

    // Split like any message: "ann (1/2): " leaves 9 characters of 20.
    settings.charLimitEnabled = true;
    settings.charLimit = 20;
    settings.messageLimit = 5;
    plan = planGathered(settings, four);
    ASSERT_EQ(plan.mails.size(), 3u);
    EXPECT_EQ(plan.mails[0].subject, "IM: ann (4 messages) (Part 1/3)");
    EXPECT_EQ(plan.mails[0].body, "ann (1/3): two\nthree");

    settings.emailAddress.clear();
    EXPECT_TRUE(planGathered(settings, four).mails.empty());
}

// The module as the host drives it: what is gathered at stop goes out after
// the next start; what is gathered at unload is dropped and counted in the
// delivery log.
TEST(CooldownGatherer, StopQueuesTheGatheringsAndUnloadCountsThem) {
    MailLab lab;
    const LabServer server = lab.startSmtp();
    const TempDir directory;
    IniFile(directory.file("IMTolvane.ini"))
        .writeThroughProfile(forwardingTo(server.host, {{"Cooldown Minutes", "5"}}), "IM Tolvane");
    RequestRecorder recorder;
    PluginInfoRecord info{};
    info.hostSize = sizeof info;
    info.settingsDirectory = directory.path().c_str();
    info.service = RequestRecorder::service();
    const auto send = [&](const char* text) {
        MessageRecord record = HostPlayer::messageRecord("AIM", 1, "ann", kPrivateMessage, text);
        ASSERT_TRUE(recorder.broadcastMessage(record));
    };
    plugin_main("load", &info);
    plugin_main("start", nullptr);
    for (const char* text : {"one", "two", "three"}) send(text);
    plugin_main("stop", nullptr);
    plugin_main("start", nullptr);
    ASSERT_TRUE(lab.waitForMails(server, 2));
    EXPECT_EQ(subjectOf(lab.mails(server)[1].data), "IM: ann (2 messages)");

    for (const char* text : {"four", "five", "six"}) send(text);
    ASSERT_TRUE(lab.waitForMails(server, 3));
    EXPECT_EQ(bodyOf(lab.mails(server)[2].data), "four");
    plugin_main("unload", nullptr);
    std::ifstream log(directory.file("IMTolvane.log"));
    const std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("| 2 messages gathered, dropped at unload |"), std::string::npos) << text;
    EXPECT_EQ(lab.mails(server).size(), 3u);
    lab.stop(server);
}
