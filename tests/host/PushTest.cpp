#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogDriver.h"
#include "ForwardingSettings.h"
#include "MailLab.h"
#include "MessagePump.h"
#include "ProtectedSetting.h"
#include "TestHost.h"
#include "ui/resource.h"

// Push notifications through the DLL as the host drives it, to the lab's
// services under their real names (tests/run.sh maps them to the lab).
namespace {

const char kPushFailure[] = "IM: push not sent: ";
const DWORD kSettleMs = 1500;
const int32_t kConfirm = 2;
// A contact name and a text with what JSON and forms must escape, in the
// host's code page (1252): "Zoë", "café".
const char kName[] = "Zo\xeb";
const char kText[] = "caf\xe9 \"q\" \\ a&b=c\nline 2";
const char kJsonTitle[] = "\"IM: Zo\xc3\xab\"";
const char kJsonText[] = "caf\xc3\xa9 \\\"q\\\" \\\\ a&b=c\\nline 2";

// The last segment of a URL: the ntfy topic, the Gotify token.
std::string lastSegment(const std::string& url) { return url.substr(url.rfind('/') + 1); }

// Push to the service's URL, kept as the plug-in keeps it, with the lab's
// CA trusted.
void startHost(TestHost& host, MailLab& lab, const std::string& url, const std::vector<IniEntry>& extra = {}) {
    std::vector<IniEntry> entries = {{"ForwardType", "3"}, {"Push URL", protectedSetting(url)},
                                     {"Trusted CA File", lab.caFile()}};
    entries.insert(entries.end(), extra.begin(), extra.end());
    host.writeSettings(forwardingTo("unused.example.org", entries));
    host.load();
    host.start();
}

std::vector<std::string> failureAlerts(const TestHost& host) {
    std::vector<std::string> texts;
    for (const HostRequest& request : host.requests()) {
        if (request.name == "systraySetAlert" && request.alertText.rfind(kPushFailure, 0) == 0) {
            texts.push_back(request.alertText.substr(sizeof kPushFailure - 1));
        }
    }
    return texts;
}

std::string logOf(const TestHost& host) { return IniFile(host.settingsDirectory() + "IMTolvane.log").text(); }

}  // namespace

TEST(Push, EachServiceGetsTheMessageOnceWithItsTitleTextAndAuth) {
    MailLab lab;
    const struct {
        const char* kind;
        PushServiceOptions::Auth auth;
        const char* path;
        std::vector<std::string> parts;  // in the body or headers; "%K" the URL's last segment
    } cases[] = {
        {"ntfy", PushServiceOptions::Token, "/",
         {"Authorization: Bearer tk_", std::string("\"title\":") + kJsonTitle,
          std::string("\"message\":\"") + kJsonText + "\"", "\"topic\":\"%K\""}},
        {"ntfy", PushServiceOptions::Basic, "/", {"Authorization: Basic ", "\"topic\":\"%K\""}},
        {"gotify", PushServiceOptions::NoAuth, "/push/message",
         {"X-Gotify-Key: %K", std::string("\"title\":") + kJsonTitle,
          std::string("\"message\":\"") + kJsonText + "\",\"priority\":5"}},
        {"pushover", PushServiceOptions::NoAuth, "/1/messages.json",
         {"Content-Type: application/x-www-form-urlencoded", "&title=IM%3A+Zo%C3%AB&",
          "&message=caf%C3%A9+%22q%22+%5C+a%26b%3Dc%0Aline+2"}},
        {"telegram", PushServiceOptions::NoAuth, "/bot",
         {std::string("\"text\":\"IM: Zo\xc3\xab\\n") + kJsonText + "\"", "\"chat_id\":\"-100"}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.kind);
        PushServiceOptions options;
        options.auth = test.auth;
        const PushService service = lab.startPush(test.kind, options);
        TestHost host;
        startHost(host, lab, service.url);
        ASSERT_TRUE(host.broadcast("AIM", 1, kName, kPrivateMessage, kText));
        ASSERT_TRUE(lab.waitForPushed(service, 1));
        pumpFor(kSettleMs);
        const std::vector<PushedRequest> pushed = lab.pushed(service);
        ASSERT_EQ(pushed.size(), 1u);
        EXPECT_EQ(pushed[0].status, 200);
        EXPECT_EQ(pushed[0].method, "POST");
        EXPECT_EQ(pushed[0].path.rfind(test.path, 0), 0u) << pushed[0].path;
        const std::string seen = pushed[0].headers + pushed[0].body;
        for (std::string part : test.parts) {
            const std::size_t key = part.find("%K");
            if (key != std::string::npos) part.replace(key, 2, lastSegment(service.url));
            EXPECT_NE(seen.find(part), std::string::npos) << part << "\n" << seen;
        }
        EXPECT_TRUE(failureAlerts(host).empty());
    }
}

// A message longer than Pushover takes arrives in numbered parts of at most
// 1024 characters, in order, with "Char Limit" off.
TEST(Push, ALongMessageArrivesInPartsWithinTheServicesLimit) {
    MailLab lab;
    const PushService service = lab.startPush("pushover");
    TestHost host;
    startHost(host, lab, service.url);
    std::string text;
    for (int i = 0; text.size() < 1500; ++i) text += std::to_string(i) + " ";
    ASSERT_TRUE(host.broadcast("AIM", 1, "ann", kPrivateMessage, text.c_str()));
    ASSERT_TRUE(lab.waitForPushed(service, 2));
    pumpFor(kSettleMs);
    const std::vector<PushedRequest> pushed = lab.pushed(service);
    ASSERT_EQ(pushed.size(), 2u);
    std::string joined;
    for (std::size_t i = 0; i < pushed.size(); ++i) {
        const std::string& body = pushed[i].body;
        const std::string title = "title=IM%3A+ann+%28Part+" + std::to_string(i + 1) + "%2F2%29&";
        EXPECT_NE(body.find(title), std::string::npos) << body;
        const std::string message = body.substr(body.find("&message=") + 9);
        EXPECT_LE(message.size(), 1024u);
        for (char c : message) joined += c == '+' ? ' ' : c;
    }
    EXPECT_EQ(joined, text);
}

// A refusal for good is one alert with the service's own words and is not
// tried again even when retries are asked for; an untrusted certificate and
// a plain-HTTP URL with a token send nothing.
TEST(Push, FailuresRaiseOneAlertAndSendNothingUnsafely) {
    MailLab lab;
    const std::string retry = "5";
    const struct {
        const char* what;
        const char* kind;
        PushServiceOptions::Auth auth;
        PushServiceOptions::Certificate certificate;
        int status;                // every request's answer
        const char* alert;         // "%H": the lab's push address
        std::size_t requests;      // that reach the service
    } cases[] = {
        {"401", "ntfy", PushServiceOptions::Token, PushServiceOptions::Good, 401,
         "ntfy.sh answered 401 (unauthorized); 1 message dropped", 1},
        {"400", "telegram", PushServiceOptions::NoAuth, PushServiceOptions::Good, 400,
         "api.telegram.org answered 400 (Bad Request: chat not found); 1 message dropped", 1},
        {"untrusted", "gotify", PushServiceOptions::NoAuth, PushServiceOptions::Untrusted, 200,
         "gotify.lab.test failed the certificate check", 0},
        {"plain with a token", "ntfy", PushServiceOptions::Token, PushServiceOptions::PlainHttp, 200,
         "the push URL is refused: a token or password goes only over TLS: use ntfys:// for %H; "
         "1 message dropped", 0},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        PushServiceOptions options;
        options.auth = test.auth;
        options.certificate = test.certificate;
        options.answers = {{test.status, -1}};
        const PushService service = lab.startPush(test.kind, options);
        TestHost host;
        startHost(host, lab, service.url, {{"Retry Minutes", test.requests ? retry : "0"}});
        ASSERT_TRUE(host.broadcast("AIM", 1, "ann", kPrivateMessage, "secret words"));
        ASSERT_TRUE(pumpUntil([&] { return !failureAlerts(host).empty(); }, 15000));
        pumpFor(kSettleMs);
        std::string alert = test.alert;
        const std::size_t at = alert.find("%H");
        if (at != std::string::npos) alert.replace(at, 2, service.host);
        ASSERT_EQ(failureAlerts(host).size(), 1u);
        EXPECT_EQ(failureAlerts(host)[0].rfind(alert, 0), 0u) << failureAlerts(host)[0];
        EXPECT_EQ(lab.pushed(service).size(), test.requests);
        const std::string log = logOf(host);
        EXPECT_EQ(log.find("secret words"), std::string::npos);
        EXPECT_EQ(log.find("tk_"), std::string::npos) << log;
        EXPECT_EQ(log.find(lastSegment(service.url)), std::string::npos) << log;
    }
}

// Typed on the page the URL stays as typed there, is stored protected, and
// is never logged, nor is its token or topic.
TEST(Push, TheUrlTypedOnThePageIsStoredProtectedAndNeverLogged) {
    MailLab lab;
    PushServiceOptions options;
    options.auth = PushServiceOptions::Token;
    const PushService service = lab.startPush("ntfy", options);
    TestHost host;
    host.writeSettings(forwardingTo("unused.example.org", {{"Trusted CA File", lab.caFile()}}));
    host.load();
    host.start();
    host.prefsShow(1, host.parentWindow());
    ASSERT_EQ(host.count("dialogAdd"), 1);
    HWND page = host.last("dialogAdd").window;
    DialogDriver::click(page, IDC_FORWARD_PUSH);
    DialogDriver::type(page, IDC_PUSH_URL, service.url);
    EXPECT_EQ(DialogDriver::text(page, IDC_PUSH_URL_STATE), "ntfy at ntfy.sh");
    host.prefsAction(kConfirm);

    ASSERT_TRUE(host.broadcast("AIM", 1, "ann", kPrivateMessage, "hello"));
    ASSERT_TRUE(lab.waitForPushed(service, 1));
    pumpFor(kSettleMs);
    host.stop();
    host.unload();
    std::string stored;
    for (const IniEntry& entry : host.settingsEntries()) {
        if (entry.first == "Push URL") stored = entry.second;
    }
    EXPECT_EQ(stored.find("ntfy"), std::string::npos) << stored;
    EXPECT_EQ(unprotectedSetting(stored), service.url);
    const std::string log = logOf(host);
    EXPECT_NE(log.find("ntfy.sh:443 | ntfy | sent | 200"), std::string::npos) << log;
    EXPECT_EQ(log.find(service.url.substr(8, 10)), std::string::npos) << log;
    EXPECT_EQ(log.find(lastSegment(service.url)), std::string::npos) << log;
}
