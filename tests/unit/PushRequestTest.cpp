#include <gtest/gtest.h>

#include <string>

#include "push/FormEncoding.h"
#include "push/HttpResponse.h"
#include "push/JsonText.h"
#include "push/PushOutcome.h"
#include "push/PushRequest.h"

namespace {

PushTarget targetOf(const char* url) {
    const PushUrlParse parsed = parsePushUrl(url);
    EXPECT_TRUE(parsed.target) << url;
    return parsed.target.value_or(PushTarget());
}

std::string header(const HttpRequest& request, const std::string& name) {
    for (const auto& h : request.headers) {
        if (h.first == name) return h.second;
    }
    return "(none)";
}

}  // namespace

TEST(PushRequest, EachServiceGetsItsPathAuthAndBody) {
    const struct {
        const char* url;
        const char* path;
        const char* authHeader;
        const char* auth;
        const char* body;
    } cases[] = {
        {"ntfys://tk@ntfy.example.org:8443/alerts", "/", "Authorization", "Bearer tk",
         R"({"topic":"alerts","title":"IM: ann","message":"a \"b\"\n\\c"})"},
        {"ntfys://ann:pw@ntfy.sh/alerts", "/", "Authorization", "Basic YW5uOnB3",
         R"({"topic":"alerts","title":"IM: ann","message":"a \"b\"\n\\c"})"},
        {"ntfys://alerts", "/", "Authorization", "(none)",
         R"({"topic":"alerts","title":"IM: ann","message":"a \"b\"\n\\c"})"},
        {"gotifys://g.example.org/sub/AppTok", "/sub/message", "X-Gotify-Key", "AppTok",
         R"({"title":"IM: ann","message":"a \"b\"\n\\c","priority":5})"},
        {"pover://UserKey@AppToken", "/1/messages.json", "Authorization", "(none)",
         "token=AppToken&user=UserKey&title=IM%3A+ann&message=a+%22b%22%0A%5Cc"},
        {"tgram://12:Bot-Tok/-100", "/bot12:Bot-Tok/sendMessage", "Authorization", "(none)",
         R"({"chat_id":"-100","text":"IM: ann\na \"b\"\n\\c"})"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.url);
        const HttpRequest request = pushRequest(targetOf(test.url), "IM: ann", "a \"b\"\n\\c");
        EXPECT_EQ(request.path, test.path);
        EXPECT_EQ(header(request, test.authHeader), test.auth);
        EXPECT_EQ(request.body, test.body);
    }
}

TEST(PushRequest, BytesCarryHostLengthAndClose) {
    const HttpRequest request = pushRequest(targetOf("ntfys://ntfy.example.org:8443/t"), "T", "é");
    const std::string bytes = requestBytes(request);
    EXPECT_EQ(bytes.rfind("POST / HTTP/1.1\r\nHost: ntfy.example.org:8443\r\n", 0), 0u) << bytes;
    EXPECT_NE(bytes.find("\r\nContent-Type: application/json\r\nContent-Length: " +
                         std::to_string(request.body.size()) + "\r\nConnection: close\r\n\r\n" + request.body),
              std::string::npos)
        << bytes;
}

TEST(PushRequest, EscapingKeepsEveryCharacter) {
    EXPECT_EQ(JsonText::quoted(std::string("q\"b\\t\tc\x01\x1f\r/\xc3\xa9", 13)),
              "\"q\\\"b\\\\t\\tc\\u0001\\u001f\\r/\xc3\xa9\"");
    EXPECT_EQ(formEncoded({{"a b", "x&y=z+1 \xc3\xa9~"}}), "a+b=x%26y%3Dz%2B1+%C3%A9%7E");
}

TEST(PushRequest, LimitsFollowEachServiceAndTheWidestCharacter) {
    EXPECT_EQ(pushMessageLimit(PushService::Ntfy, "ann", "plain"), 4096u);
    EXPECT_EQ(pushMessageLimit(PushService::Gotify, "ann", "caf\xc3\xa9"), 2048u);
    EXPECT_EQ(pushMessageLimit(PushService::Ntfy, "\xe2\x82\xac", "a"), 1365u);
    EXPECT_EQ(pushMessageLimit(PushService::Pushover, "ann", "\xe2\x82\xac"), 1024u);
    // "IM: ann (Part 4294967295/4294967295)" and the line break.
    EXPECT_EQ(pushMessageLimit(PushService::Telegram, "ann", "a"), 4096u - 37u);
    EXPECT_EQ(pushMessageLimit(PushService::Telegram, std::string(5000, 'n'), "a"), 1u);
    // Pushover's title is cut to 250 characters, never inside one.
    std::string title;
    for (int i = 0; i < 300; ++i) title += "\xc3\xa9";
    const HttpRequest request = pushRequest(targetOf("pover://u@t"), title, "m");
    std::string kept;
    for (int i = 0; i < 250; ++i) kept += "%C3%A9";
    EXPECT_NE(request.body.find("title=" + kept + "&message"), std::string::npos);
}

TEST(HttpResponse, FramesBodiesAndReadsRetryAfter) {
    const struct {
        const char* what;
        std::string bytes;
        bool closed;
        HttpResponse::State state;
        int status;
        std::string body;
        int retryAfter;  // -1: none
    } cases[] = {
        {"length", "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n{}", false, HttpResponse::State::Complete, 200,
         "{}", -1},
        {"length not yet", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n{}", false,
         HttpResponse::State::Incomplete, 200, "{}", -1},
        {"length cut by close", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n{}", true,
         HttpResponse::State::Malformed, 200, "{}", -1},
        {"chunked with trailer", "HTTP/1.1 429 Too Many\r\ntransfer-encoding: chunked\r\nRetry-After: 7\r\n\r\n"
         "3;x=1\r\nabc\r\n2\r\nde\r\n0\r\nX: y\r\n\r\n", false, HttpResponse::State::Complete, 429, "abcde", 7},
        {"chunked not ended", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n", false,
         HttpResponse::State::Incomplete, 200, "abc", -1},
        {"to the close", "HTTP/1.0 503 Busy\nRetry-After: Wed, 21 Oct 2026 07:28:00 GMT\n\nbody", true,
         HttpResponse::State::Complete, 503, "body", -1},
        {"interim answer skipped", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 204 No Content\r\n\r\n", false,
         HttpResponse::State::Complete, 204, "", -1},
        {"head not ended", "HTTP/1.1 200 OK\r\nContent-", false, HttpResponse::State::Incomplete, 200, "", -1},
        {"not HTTP", "220 smtp.example.org ESMTP\r\n", false, HttpResponse::State::Malformed, 0, "", -1},
        {"closed before an answer", "", true, HttpResponse::State::Malformed, 0, "", -1},
        {"bad length", "HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n", false, HttpResponse::State::Malformed,
         200, "", -1},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        const HttpResponse response = parseHttpResponse(test.bytes, test.closed);
        EXPECT_EQ(response.state, test.state);
        EXPECT_EQ(response.status, test.status);
        EXPECT_EQ(response.body, test.body);
        EXPECT_EQ(response.retryAfterSeconds.has_value(), test.retryAfter >= 0);
        if (test.retryAfter >= 0 && response.retryAfterSeconds) {
            EXPECT_EQ(*response.retryAfterSeconds, static_cast<uint32_t>(test.retryAfter));
        }
    }
    const std::string huge(HttpLimits::kMaxBodyKept + 10, 'x');
    const HttpResponse capped =
        parseHttpResponse("HTTP/1.1 500 E\r\nContent-Length: 99999999\r\n\r\n" + huge, false);
    EXPECT_EQ(capped.state, HttpResponse::State::Complete);
    EXPECT_EQ(capped.body.size(), HttpLimits::kMaxBodyKept);
}

TEST(PushOutcome, StatusDecidesAndTheServiceSaysWhy) {
    const struct {
        const char* url;
        int status;
        const char* body;
        PushResult result;
        const char* description;
    } cases[] = {
        {"ntfys://topic_abcd", 200, "{}", PushResult::Sent, "ntfy.sh answered 200"},
        {"ntfys://topic_abcd", 401, R"({"code":40101,"http":401,"error":"unauthorized for topic_abcd"})",
         PushResult::RefusedForGood, "ntfy.sh answered 401 (unauthorized for ...)"},
        {"gotifys://g.example.org/AppTok", 401,
         R"({"error":"Unauthorized","errorCode":401,"errorDescription":"you need to provide a valid access token"})",
         PushResult::RefusedForGood, "g.example.org answered 401 (you need to provide a valid access token)"},
        {"pover://UserKey@AppToken", 400,
         R"({"user":"invalid","errors":["user identifier is not a valid user","x"],"status":0})",
         PushResult::RefusedForGood, "api.pushover.net answered 400 (user identifier is not a valid user)"},
        {"tgram://12:Bot-Tok/-100", 400,
         R"({"ok":false,"error_code":400,"description":"Bad Request: chat not found"})",
         PushResult::RefusedForGood, "api.telegram.org answered 400 (Bad Request: chat not found)"},
        {"tgram://12:Bot-Tok/-100", 429, R"({"ok":false,"parameters":{"retry_after":3},"description":"Too Many\nRequests: retry after 3"})",
         PushResult::RefusedForNow, "api.telegram.org answered 429 (Too Many Requests: retry after 3)"},
        {"ntfys://topic_abcd", 502, "<html>Bad Gateway</html>", PushResult::RefusedForNow,
         "ntfy.sh answered 502"},
        {"ntfys://topic_abcd", 302, "", PushResult::RefusedForGood, "ntfy.sh answered 302"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.description);
        const PushOutcome outcome = answeredOutcome(targetOf(test.url), test.status, test.body, 9u);
        EXPECT_EQ(outcome.result, test.result);
        EXPECT_EQ(outcome.description, test.description);
    }
    EXPECT_EQ(JsonText::memberText(R"({"a":{"description":"inner"},"description":"out\u00e9\ud83d\ude00"})",
                                   "description"),
              std::string("out\xc3\xa9\xf0\x9f\x98\x80"));
    EXPECT_FALSE(JsonText::memberText(R"({"description":"unterminated)", "description"));
    EXPECT_FALSE(JsonText::memberText("[\"description\"]", "description"));
}
