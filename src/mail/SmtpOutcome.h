#pragma once
#include <cstdint>
#include <string>

#include "net/NetOutcome.h"

// Where an SMTP attempt stood when it ended, in the order a session passes
// through the stages.
enum class SmtpStage {
    NameLookup,  // finding the server's address
    Connect,     // opening the TCP connection
    Greeting,    // the server's first reply
    Hello,       // EHLO or HELO
    StartTls,    // the STARTTLS command and the TLS handshake (implicit TLS too)
    Certificate, // the check of the server's certificate and name
    Login,       // AUTH
    MailFrom,    // MAIL FROM
    Recipient,   // RCPT TO
    Data,        // DATA, up to the server's invitation to send the data
    EndOfData,   // the data and the reply to its final "."
};

// What became of one connection (SmtpSession::open) or one mail
// (SmtpSession::sendMail). A success names the last stage passed and its
// reply; a failure names the stage that failed, with the server's reply when
// it gave one (code 0 and an empty line when it did not: a connection that
// broke, a certificate that did not pass). `detail` says why in words where
// the reply does not; it never holds a password or mail data.
struct SmtpOutcome {
    bool succeeded = false;
    SmtpStage stage = SmtpStage::NameLookup;
    int replyCode = 0;       // 0: no reply
    std::string replyLine;   // the reply's first line, without its CR LF
    std::string detail;
    // Above 0: the server gave no answer within so many milliseconds.
    uint32_t silentForMs = 0;
    // A failure that no retry mends (a certificate that does not pass, no
    // STARTTLS or login mechanism offered, a password that cannot be read):
    // the settings or the server's setup must change first.
    bool lasting = false;

    static SmtpOutcome success(SmtpStage stage, int code = 0, const std::string& line = {}) {
        return {true, stage, code, line, {}, 0, false};
    }
    static SmtpOutcome failure(SmtpStage stage, const std::string& detail, int code = 0,
                               const std::string& line = {}) {
        return {false, stage, code, line, detail, 0, false};
    }
};

// A step of opening the connection as a stage of the session: the TLS
// handshake is the StartTls stage, implicit TLS too.
SmtpOutcome smtpOutcomeOf(const NetOutcome& outcome);

// The stage's name for a log line, such as "RCPT".
const char* stageName(SmtpStage stage);
