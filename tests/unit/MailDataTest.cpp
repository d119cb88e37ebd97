#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mail/MailData.h"

namespace {

const char kDate[] = "Wed, 09 Dec 2026 05:51:03 +0000";

std::vector<std::string> bytesOf(const std::vector<MailData::Piece>& pieces) {
    std::vector<std::string> bytes;
    for (const MailData::Piece& piece : pieces) bytes.push_back(piece.bytes);
    return bytes;
}

// Mail data a server reads as one whole mail: every line ends in CR LF, no
// line is longer than 998 bytes, and no line is the lone "." that ends it.
::testing::AssertionResult staysInsideTheData(const std::string& data) {
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i] == '\r' && (i + 1 >= data.size() || data[i + 1] != '\n')) {
            return ::testing::AssertionFailure() << "bare CR at " << i;
        }
        if (data[i] != '\n') continue;
        if (i == 0 || data[i - 1] != '\r') return ::testing::AssertionFailure() << "bare LF at " << i;
        const std::string line = data.substr(lineStart, i - 1 - lineStart);
        if (line == ".") return ::testing::AssertionFailure() << "a lone '.' line at " << lineStart;
        if (line.size() > 998) return ::testing::AssertionFailure() << "a line of " << line.size();
        lineStart = i + 1;
    }
    if (data.size() - lineStart > 998) return ::testing::AssertionFailure() << "a long last line";
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(MailData, PiecesOfOneMailInOrderWithTheirReplies) {
    const MailJob job{"smtp.example.org", "me@example.org", "you@example.net", "IM: ann", "hi"};
    const std::vector<MailData::Piece> pieces = MailData::mailPieces(job, kDate);
    EXPECT_EQ(bytesOf(pieces), (std::vector<std::string>{
                                   "MAIL FROM: me@example.org\r\n",
                                   "RCPT TO: you@example.net\r\n",
                                   "DATA\r\n",
                                   "TO: you@example.net\r\n",
                                   "FROM: me@example.org\r\n",
                                   "SUBJECT: IM: ann\r\n",
                                   "DATE: Wed, 09 Dec 2026 05:51:03 +0000\r\n",
                                   "\r\nhi\r\n\r\n",
                                   "\r\n.\r\n",
                               }));
    std::vector<bool> readsReply;
    for (const MailData::Piece& piece : pieces) readsReply.push_back(piece.readsReply);
    EXPECT_EQ(readsReply, (std::vector<bool>{true, true, true, false, false, false, false, false, true}));
}

TEST(MailData, EmptySubjectAndBodyStillMakeTheirLines) {
    const std::vector<std::string> bytes = bytesOf(MailData::mailPieces(MailJob{"s", "a@b", "c@d", "", ""}, kDate));
    EXPECT_EQ(bytes[5], "SUBJECT: \r\n");
    EXPECT_EQ(bytes[7], "\r\n\r\n\r\n");
}

TEST(MailData, LineBreaksInTextsCannotAddCommandsOrHeaders) {
    const MailJob job{"s", "me@x\r\nRCPT TO: victim@y", "you@z\nDATA", "hi\r\nBcc: all@w", ""};
    const std::vector<std::string> bytes = bytesOf(MailData::mailPieces(job, "now\r\nX: 1"));
    EXPECT_EQ(bytes[0], "MAIL FROM: me@x  RCPT TO: victim@y\r\n");
    EXPECT_EQ(bytes[1], "RCPT TO: you@z DATA\r\n");
    EXPECT_EQ(bytes[3], "TO: you@z DATA\r\n");
    EXPECT_EQ(bytes[4], "FROM: me@x  RCPT TO: victim@y\r\n");
    EXPECT_EQ(bytes[5], "SUBJECT: hi  Bcc: all@w\r\n");
    EXPECT_EQ(bytes[6], "DATE: now  X: 1\r\n");
    EXPECT_EQ(MailData::heloLine("x.org\r\nMAIL FROM: a"), "HELO x.org  MAIL FROM: a\r\n");
    EXPECT_EQ(MailData::quitLine(), "QUIT\r\n");
}

TEST(MailData, BodyLineEndsBecomeCrLf) {
    EXPECT_EQ(MailData::transparentBody("a\nb\rc\r\nd"), "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(MailData::transparentBody("\n\r"), "\r\n\r\n");
    EXPECT_EQ(MailData::transparentBody("\r\n"), "\r\n");
    EXPECT_EQ(MailData::transparentBody("end\n"), "end\r\n");
    EXPECT_EQ(MailData::transparentBody(""), "");
}

TEST(MailData, BodyLinesStartingWithADotGetASecondOne) {
    EXPECT_EQ(MailData::transparentBody(".\n.."), "..\r\n...");
    EXPECT_EQ(MailData::transparentBody("x\r\n.\r\ny"), "x\r\n..\r\ny");
    EXPECT_EQ(MailData::transparentBody("a.b\n .c"), "a.b\r\n .c");
}

TEST(MailData, NoBodyCanEndTheDataOrSmuggleCommands) {
    const std::vector<std::string> bodies = {
        "hi\r\n.\r\nMAIL FROM: evil@x\r\nRCPT TO: victim@y\r\nDATA\r\n",
        "hi\n.\nMAIL FROM: evil@x\n",
        "hi\r.\rQUIT\r",
        "hi\r\n.\nQUIT",
        "hi\n.\r\nQUIT",
        ".",
        "\r\n.",
        std::string(997, 'a') + "\n" + std::string(998, '.'),
        std::string(998, 'a') + ".\r\n",
        std::string(5000, '.'),
    };
    for (const std::string& body : bodies) {
        EXPECT_TRUE(staysInsideTheData("\r\n" + MailData::transparentBody(body) + "\r\n\r\n"))
            << "body: " << body.substr(0, 40);
    }
}

TEST(MailData, LongBodyLinesAreBrokenAt998Bytes) {
    EXPECT_EQ(MailData::transparentBody(std::string(998, 'a')), std::string(998, 'a'));
    EXPECT_EQ(MailData::transparentBody(std::string(2500, 'a')),
              std::string(998, 'a') + "\r\n" + std::string(998, 'a') + "\r\n" + std::string(504, 'a'));
    // The doubled dot counts, and a piece that begins with a dot after a
    // break gets its own.
    EXPECT_EQ(MailData::transparentBody("." + std::string(997, 'b')), ".." + std::string(996, 'b') + "\r\nb");
    EXPECT_EQ(MailData::transparentBody(std::string(998, 'a') + ".c"), std::string(998, 'a') + "\r\n..c");
}

TEST(MailData, BodyIsSentWhole) {
    std::string body;
    for (int i = 0; i < 100; ++i) body += "line " + std::to_string(i) + "\r\n";
    const std::string data = MailData::mailPieces(MailJob{"s", "a@b", "c@d", "x", body}, kDate)[7].bytes;
    EXPECT_EQ(data, "\r\n" + body + "\r\n\r\n");
}

TEST(MailData, HeloDomainIsWhatFollowsTheFirstAt) {
    EXPECT_EQ(MailData::heloDomain("me@example.org"), "example.org");
    EXPECT_EQ(MailData::heloDomain("nobody"), "nobody");
    EXPECT_EQ(MailData::heloDomain("a@b@c"), "b@c");
    EXPECT_EQ(MailData::heloDomain("me@"), "");
    EXPECT_EQ(MailData::heloDomain("@only"), "only");
    EXPECT_EQ(MailData::heloDomain(""), "");
}
