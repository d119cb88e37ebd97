#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "ForwardingSettings.h"
#include "IniFile.h"
#include "MailLab.h"
#include "MessagePump.h"
#include "TestHost.h"

// Mail that does not go out is told: one systray alert per failed attempt,
// raised on the host's thread, and a line per attempt and per mail in
// IMTolvane.log beside the settings file.
namespace {

const char kFailurePrefix[] = "IM: mail not sent: ";
const DWORD kAttemptMs = 15000;
// Long enough for a second alert of the same attempt to have come.
const DWORD kSettleMs = 700;
// Three mails of five characters each, queued at once: one attempt.
const char kThreeParts[] = "aaaaabbbbbccccc";
const char kOnePart[] = "hello";
const char kLogTime[] = "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d UTC \\| ";

std::vector<IniEntry> inParts(const std::vector<IniEntry>& extra = {}) {
    std::vector<IniEntry> entries = {
        {"Char Limit Enabled", "1"}, {"CharLimit", "5"}, {"Message Limit", "9"}};
    entries.insert(entries.end(), extra.begin(), extra.end());
    return entries;
}

PeerScript refusingTheEndOfData() {
    PeerScript script;
    script.greet().expect("MAIL FROM: ").send("250 ok\r\n").expect("RCPT TO: ").send("250 ok\r\n");
    script.expect("DATA").send("354 go ahead\r\n").readData().send("554 5.6.0 spam, go away\r\n");
    return script.expect("QUIT").send("221 bye\r\n").close();
}

struct FailureCase {
    const char* name;
    std::function<LabServer(MailLab&)> server;
    const char* text;
    // With "%s" for the server's name and "%p" for its port.
    const char* alert;
    std::vector<const char*> logLines;
    // Settings beyond plain SMTP to the server's address.
    std::function<std::vector<IniEntry>(MailLab&, const LabServer&)> settings = nullptr;
};

// A server that wants a login over STARTTLS, and a user without a password.
LabServer askingForALogin(MailLab& lab) {
    TlsServerOptions options;
    options.user = "ann@example.org";
    options.password = "the right one";
    return lab.startTls(options);
}

std::vector<IniEntry> loggingIn(MailLab& lab, const LabServer& server) {
    return {{"SMTP Server", kTlsServerName}, {"SMTP Port", std::to_string(server.port)},
            {"SMTP Security", "1"}, {"SMTP User", "ann@example.org"}, {"Trusted CA File", lab.caFile()}};
}

const FailureCase kCases[] = {
    {"Unreachable", [](MailLab& lab) { return lab.unreachable(); }, kThreeParts,
     "could not connect to %s:%p (connection refused); 3 mails dropped",
     {"%s:%p \\| - \\| not connected at connect, 3 dropped \\| - \\| connection refused"}},
    {"RefusedRecipient", [](MailLab& lab) { return lab.startSmtp({kForwardRecipient}); }, "aaaaabbbbb",
     "%s refused the recipient (550 5.1.1 Recipient refused); 2 mails dropped",
     {"%s:%p \\| - \\| connected \\| 250 \\| .*",
      "%s:%p \\| pager@example.net \\| not sent at RCPT \\| 550 \\| .*",
      "%s:%p \\| pager@example.net \\| not sent at RCPT \\| 550 \\| .*"}},
    {"RefusedEndOfData", [](MailLab& lab) { return lab.startScript(refusingTheEndOfData()); }, kOnePart,
     "%s refused the mail (554 5.6.0 spam, go away); 1 mail dropped",
     {"%s:%p \\| - \\| connected \\| 250 \\| .*",
      "%s:%p \\| pager@example.net \\| not sent at end of data \\| 554 \\| 5.6.0 spam, go away"}},
    {"RefusedLogin", askingForALogin, kThreeParts, "%s refused the login (535 5.7.8 Authentication credentials invalid); 3 mails dropped",
     {"%s:%p \\| - \\| not connected at login, 3 dropped \\| 535 \\| .*"}, loggingIn},
    // Stored by another Windows user: no login is tried with it.
    {"UnreadablePassword", askingForALogin, kThreeParts,
     "%s could not log in (the stored SMTP Password could not be read: type it again in Advanced Settings); "
     "3 mails dropped",
     {"%s:%p \\| - \\| not connected at login, 3 dropped \\| - \\| the stored SMTP Password could not be read.*"},
     [](MailLab& lab, const LabServer& server) {
         std::vector<IniEntry> entries = loggingIn(lab, server);
         entries.push_back({"SMTP Password", "Zm9yZWlnbiBibG9i"});
         return entries;
     }},
};

std::string withServer(std::string text, const std::string& name, int port) {
    for (size_t at; (at = text.find("%s")) != std::string::npos;) text.replace(at, 2, name);
    for (size_t at; (at = text.find("%p")) != std::string::npos;) text.replace(at, 2, std::to_string(port));
    return text;
}

std::string escaped(const std::string& server) { return std::regex_replace(server, std::regex("\\."), "\\."); }

void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

class FailureAlert : public ::testing::Test {
protected:
    void startHost(const LabServer& target, const std::vector<IniEntry>& extra = {}) {
        server = target;
        serverName = server.host;
        for (const IniEntry& entry : extra) {
            if (entry.first == "SMTP Server") serverName = entry.second;
        }
        host.writeSettings(forwardingTo(server.host, inParts(extra)));
        host.load();
        host.start();
    }

    void broadcast(const char* text) { ASSERT_TRUE(host.broadcast("AIM", 1, "ann", kPrivateMessage, text)); }

    std::vector<std::string> failureAlerts() const {
        std::vector<std::string> texts;
        for (const HostRequest& request : host.requests()) {
            if (request.name == "systraySetAlert" && request.alertText.rfind(kFailurePrefix, 0) == 0) {
                texts.push_back(request.alertText.substr(sizeof kFailurePrefix - 1));
            }
        }
        return texts;
    }

    IniFile log() const { return IniFile(host.settingsDirectory() + "IMTolvane.log"); }

    std::vector<std::string> logLines() const {
        std::vector<std::string> lines;
        const std::string text = log().text();
        for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2) {
            lines.push_back(text.substr(at, end - at));
        }
        return lines;
    }

    bool logHasLines(size_t count) const {
        return waitUntil([&] { return logLines().size() >= count; }, kAttemptMs);
    }

    MailLab lab;
    LabServer server;
    std::string serverName;
    TestHost host;
};

class EachFailure : public FailureAlert, public ::testing::WithParamInterface<FailureCase> {};

}  // namespace

TEST_P(EachFailure, OneAlertWithTheStageAndCodeAndALogLineEach) {
    const FailureCase& c = GetParam();
    const LabServer target = c.server(lab);
    startHost(target, c.settings ? c.settings(lab, target) : std::vector<IniEntry>());
    broadcast(c.text);
    ASSERT_TRUE(pumpUntil([&] { return !failureAlerts().empty(); }, kAttemptMs));
    pumpFor(kSettleMs);
    EXPECT_EQ(failureAlerts(), std::vector<std::string>{withServer(c.alert, serverName, server.port)});
    const HostRequest& alert = host.last("systraySetAlert");
    EXPECT_EQ(alert.alertStyle, "default");
    EXPECT_EQ(std::vector<int32_t>(alert.alertValues, alert.alertValues + 3), (std::vector<int32_t>{1, 0, 0}));

    const std::vector<std::string> lines = logLines();
    ASSERT_EQ(lines.size(), c.logLines.size()) << log().text();
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(std::regex_match(lines[i], std::regex(kLogTime + withServer(c.logLines[i], escaped(serverName), server.port))))
            << lines[i];
    }
}

INSTANTIATE_TEST_SUITE_P(, EachFailure, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

// Sent mail is logged too, without its subject or text.
TEST_F(FailureAlert, DeliveredMailIsLoggedWithoutItsText) {
    startHost(lab.startSmtp(), {{"Char Limit Enabled", "0"}});
    broadcast("the secret text");
    ASSERT_TRUE(logHasLines(2));
    pumpFor(kSettleMs);
    EXPECT_TRUE(failureAlerts().empty());
    const std::vector<std::string> lines = logLines();
    EXPECT_TRUE(std::regex_match(lines[1], std::regex(std::string(kLogTime) + ".* \\| pager@example.net \\| sent \\| 250 \\| .*")))
        << lines[1];
    EXPECT_EQ(log().text().find("secret"), std::string::npos);
    EXPECT_EQ(log().text().find("IM: ann"), std::string::npos);
}

TEST_F(FailureAlert, NoneWithTheSystrayAlertOff) {
    startHost(lab.unreachable(), {{"Show Systray Alert", "0"}});
    broadcast(kOnePart);
    ASSERT_TRUE(logHasLines(1));
    pumpFor(kSettleMs);
    EXPECT_EQ(host.count("systraySetAlert"), 0);
}

// A log that cannot be written changes nothing else.
TEST_F(FailureAlert, AnUnwritableLogStillAlerts) {
    CreateDirectoryA(log().path().c_str(), nullptr);
    startHost(lab.unreachable());
    broadcast(kOnePart);
    ASSERT_TRUE(pumpUntil([&] { return !failureAlerts().empty(); }, kAttemptMs));
    EXPECT_EQ(failureAlerts().size(), 1u);
}

// An alert handed over and not yet raised when the host stops the plug-in
// is dropped: after "stop" only its "messageBroadcastDisable" reaches the host.
TEST_F(FailureAlert, NothingReachesTheHostAfterStop) {
    startHost(lab.unreachable());
    broadcast(kOnePart);
    ASSERT_TRUE(logHasLines(1));
    host.clearRequests();
    host.stop();
    pumpFor(kSettleMs);
    EXPECT_EQ(host.requestNames(), std::vector<std::string>{"messageBroadcastDisable"});
}
