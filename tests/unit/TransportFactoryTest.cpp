#include <gtest/gtest.h>

#include <string>

#include "delivery/FailureText.h"
#include "delivery/TransportFactory.h"

namespace {

DeliveryJob push(const std::string& url) {
    DeliveryJob job;
    job.transport = TransportKind::Push;
    job.push = PushJob{url, "IM: ann", "hi", ""};
    return job;
}

DeliveryJob mail(const std::string& server) { return DeliveryJob(MailJob{server, "a@b", "c@d", "s", "b"}); }

}  // namespace

// The route names the service's host, never a token: a Telegram URL's
// "host" part is the bot token.
TEST(TransportFactory, PushRouteIsTheServicesHostAndPortAndBatchesShareIt) {
    const struct {
        const char* url;
        const char* host;
        unsigned port;
    } cases[] = {
        {"tgram://123:secret/-100", "api.telegram.org", 443},
        {"pover://secretuser@secrettoken", "api.pushover.net", 443},
        {"ntfys://secret@127.0.0.1:8443/topic", "127.0.0.1", 8443},
        {"https://ntfy.sh/secrettopic", "ntfy.sh", 443},
        {"gotify://nas.local/secret", "push URL", 0},
    };
    for (const auto& c : cases) {
        const Route route = TransportFactory::routeOf(push(c.url));
        EXPECT_EQ(route.host, c.host) << c.url;
        EXPECT_EQ(route.port, c.port) << c.url;
    }
    EXPECT_TRUE(TransportFactory::sameBatch(push("ntfys://h/a"), push("https://h/b")));
    EXPECT_FALSE(TransportFactory::sameBatch(push("ntfys://h/a"), push("ntfys://other/a")));
    EXPECT_FALSE(TransportFactory::sameBatch(mail("h"), push("ntfys://h/a")));
    EXPECT_TRUE(TransportFactory::sameBatch(mail("smtp.example.org"), mail("elsewhere")))
        << "every mail goes to the server of the batch's front mail";
    EXPECT_EQ(TransportFactory::addresseeOf(push("tgram://123:secret/-100")), "Telegram");
    EXPECT_EQ(TransportFactory::addresseeOf(mail("h")), "c@d");
}

TEST(FailureText, AlertSpeaksOfWhatItsTransportDropped) {
    EXPECT_EQ(FailureText::alert(FailedAttempt{TransportKind::Push,
                                               "api.telegram.org answered 400 (Bad Request: chat not found)", 1}),
              "IM: push not sent: api.telegram.org answered 400 (Bad Request: chat not found); 1 message dropped");
    EXPECT_EQ(FailureText::alert(FailedAttempt{TransportKind::Mail, std::string(), 3, 30}),
              "IM: mail not sent: 3 mails dropped after 30 minutes of retrying");
    EXPECT_EQ(FailureText::alert(FailedAttempt{TransportKind::Push, std::string(), 2, 1}),
              "IM: push not sent: 2 messages dropped after 1 minute of retrying");
}
