#pragma once
#include <string>
#include <vector>

#include "mail/MailJob.h"

// The bytes of the SMTP conversation built from a job's texts. A text that
// goes into a command or a header line stays on that one line, and nothing
// of the body can end the mail data early or be read as a command.
namespace MailData {

// One send of the conversation, and whether a reply is read after it.
struct Piece {
    std::string bytes;
    bool readsReply;
    // The data that follows goes out only when the server's reply to this
    // piece invites it: after a refusal, data lines would be read as commands.
    bool opensData = false;
};

// MAIL FROM, RCPT TO, DATA, the four header lines TO, FROM, SUBJECT and DATE,
// the body, and the end-of-data line, in the order they are sent.
std::vector<Piece> mailPieces(const MailJob& job, const std::string& date);

std::string heloLine(const std::string& heloDomain);
std::string quitLine();
std::string dataLine();
// Ends a transaction that the server would not take data for.
std::string resetLine();

// The text after the first "@" of the sender, or the whole sender without one.
std::string heloDomain(const std::string& sender);

// The header line of the prefix and the value, ended with CR LF. A line
// longer than the limit of mail data is folded: broken before a blank of the
// value where one is in reach, so that unfolding gives the value back, else
// broken with a blank of its own. A long contact name in the subject must
// not make the server refuse the whole mail.
std::string headerLine(const char* prefix, const std::string& value);

// The body as mail data: every line end CR LF, every line at most 998 bytes,
// and every line that begins with "." given a second one.
std::string transparentBody(const std::string& body);

}  // namespace MailData
