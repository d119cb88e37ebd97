#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imap/ImapReader.h"
#include "imap/ImapSyntax.h"

namespace {

// Every response the bytes make, fed in pieces of `chunk` bytes.
std::vector<ImapResponse> readAll(const std::string& bytes, std::size_t chunk, std::size_t limit,
                                  ImapReader::Result& last) {
    ImapReader reader(limit);
    std::vector<ImapResponse> out;
    last = ImapReader::Result::NeedMore;
    for (std::size_t pos = 0; pos < bytes.size() && last != ImapReader::Result::Broken; pos += chunk) {
        reader.append(bytes.substr(pos, chunk));
        ImapResponse response;
        while ((last = reader.next(response)) == ImapReader::Result::Complete) out.push_back(response);
    }
    return out;
}

}  // namespace

TEST(ImapReader, CutsLinesAndLiteralsHoweverTheReadsSplitThem) {
    const std::string bytes =
        "* OK ready\r\n"
        "* 1 FETCH (UID 7 BODY[HEADER.FIELDS (FROM)] {12}\r\nFrom: a\r\n\r\n} FLAGS (\\Seen))\r\n"
        "T1 OK done\n";
    for (std::size_t chunk : {1u, 5u, 4096u}) {
        SCOPED_TRACE(chunk);
        ImapReader::Result last;
        const std::vector<ImapResponse> responses = readAll(bytes, chunk, 1024, last);
        ASSERT_EQ(responses.size(), 3u);
        EXPECT_EQ(responses[1].literals, std::vector<std::string>{"From: a\r\n\r\n}"});
        EXPECT_EQ(responses[2].line, "T1 OK done");
        ImapSyntax::Fetched mail;
        ASSERT_TRUE(ImapSyntax::fetched(responses[1], mail));
        EXPECT_EQ(mail.uid, 7u);
        EXPECT_EQ(mail.body, "From: a\r\n\r\n}");
    }
}

TEST(ImapReader, SkipsALiteralBeyondTheLimitAndBreaksOnALineBeyondIt) {
    ImapReader::Result last;
    const std::string huge(5000, 'x');
    std::vector<ImapResponse> responses =
        readAll("* 1 FETCH (UID 3 BODY[] {5000}\r\n" + huge + ")\r\nT2 OK\r\n", 333, 1024, last);
    ASSERT_EQ(responses.size(), 2u);
    ImapSyntax::Fetched mail;
    ASSERT_TRUE(ImapSyntax::fetched(responses[0], mail));
    EXPECT_TRUE(mail.oversized);
    EXPECT_TRUE(mail.body.empty());
    EXPECT_TRUE(ImapSyntax::isTagged(responses[1], "T2"));

    responses = readAll("* " + huge, 100, 1024, last);
    EXPECT_TRUE(responses.empty());
    EXPECT_EQ(last, ImapReader::Result::Broken);
}

TEST(ImapSyntax, ReadsTheResponsesTheClientActsOn) {
    const auto response = [](const std::string& line) { return ImapResponse{line, {}, false}; };
    EXPECT_EQ(ImapSyntax::capabilities(response("* CAPABILITY IMAP4rev1 idle AUTH=PLAIN")),
              (std::vector<std::string>{"IMAP4REV1", "IDLE", "AUTH=PLAIN"}));
    EXPECT_EQ(ImapSyntax::capabilities(response("* OK [CAPABILITY IMAP4rev1 STARTTLS] hi")),
              (std::vector<std::string>{"IMAP4REV1", "STARTTLS"}));
    EXPECT_TRUE(ImapSyntax::capabilities(response("* OK [ALERT] CAPABILITY soon")).empty());
    std::vector<uint32_t> uids;
    EXPECT_TRUE(ImapSyntax::searchResult(response("* SEARCH 4 8 4294967295"), uids));
    EXPECT_EQ(uids, (std::vector<uint32_t>{4, 8, 4294967295u}));
    EXPECT_FALSE(ImapSyntax::searchResult(response("* 3 EXISTS"), uids));
    uint32_t count = 0;
    EXPECT_TRUE(ImapSyntax::existsCount(response("* 3 EXISTS"), count));
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(ImapSyntax::statusWord(response("T3 no [AUTHENTICATIONFAILED] wrong")), "NO");
    EXPECT_EQ(ImapSyntax::statusText(response("T3 NO [AUTHENTICATIONFAILED] wrong")), "wrong");
    EXPECT_EQ(ImapSyntax::statusWord(response("* 2 RECENT")), "RECENT");
    ImapSyntax::Fetched mail;
    ASSERT_TRUE(ImapSyntax::fetched(response("* 2 FETCH (FLAGS (\\Seen) BODY[] \"a \\\"b\\\"\" UID 9)"), mail));
    EXPECT_EQ(mail.uid, 9u);
    EXPECT_EQ(mail.body, "a \"b\"");
    EXPECT_TRUE(ImapSyntax::fetched(response("* 2 FETCH (UID 9 BODY[] NIL)"), mail));
    EXPECT_FALSE(mail.hasBody);
    EXPECT_FALSE(ImapSyntax::fetched(response("* 2 FETCH (FLAGS (\\Seen))"), mail)) << "no UID";
}

TEST(ImapSyntax, QuotesWhatItCanAndLeavesTheRestToLiterals) {
    EXPECT_EQ(ImapSyntax::quoted("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(ImapSyntax::quoted("p\xc3\xa4ss"), "");
    EXPECT_EQ(ImapSyntax::quoted("two\r\nlines"), "");
    EXPECT_EQ(ImapSyntax::uidSet({4, 8, 15}), "4,8,15");
}
