#include <gtest/gtest.h>

#include <string>

#include "mail/MailData.h"

namespace {

// SMTP's limit on a line of mail data, CR LF not counted.
const size_t kMaxLine = 998;

size_t longestCrLfLine(const std::string& data) {
    size_t longest = 0;
    size_t start = 0;
    for (size_t end; (end = data.find("\r\n", start)) != std::string::npos; start = end + 2) {
        longest = std::max(longest, end - start);
    }
    return longest;
}

}  // namespace

// A contact name of a thousand characters makes the subject, and a typed
// address of that length the TO and FROM lines, longer than a server must
// accept: the whole mail may be refused. Such lines are folded to fit.
TEST(FaultMailData, HeaderLinesStayWithinTheLineLimit) {
    const std::string longName(1500, 'n');
    const MailJob job{"mail.example.com", longName + "@example.org", longName + "@example.net",
                      "IM: " + longName, "hi"};
    std::string data;
    const std::vector<MailData::Piece> pieces = MailData::mailPieces(job, "Today");
    for (size_t i = 3; i < pieces.size(); ++i) data += pieces[i].bytes;
    EXPECT_LE(longestCrLfLine(data), kMaxLine);
}

// Folded before a blank of the value, the subject unfolds to itself.
TEST(FaultMailData, FoldedSubjectUnfoldsToTheValue) {
    std::string subject = "IM: ";
    for (int i = 0; i < 500; ++i) subject += "word" + std::to_string(i) + " ";
    const std::string line = MailData::mailPieces(MailJob{"s", "a@b", "c@d", subject, ""}, "Today")[5].bytes;
    EXPECT_LE(longestCrLfLine(line), kMaxLine);
    EXPECT_NE(line.find("\r\n "), std::string::npos);
    std::string unfolded = line;
    for (size_t fold; (fold = unfolded.find("\r\n ")) != std::string::npos;) unfolded.erase(fold, 2);
    EXPECT_EQ(unfolded, "SUBJECT: " + subject + "\r\n");
}
