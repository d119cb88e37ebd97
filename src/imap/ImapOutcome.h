#pragma once
#include <string>

// Where an IMAP step stood when it ended, in the order a session passes
// through the stages.
enum class ImapStage {
    Connect,      // the name lookup and the TCP connection
    Greeting,     // the server's first response
    StartTls,     // STARTTLS and the TLS handshake (implicit TLS too)
    Certificate,  // the check of the server's certificate and name
    Login,        // AUTHENTICATE PLAIN or LOGIN
    Select,       // SELECT INBOX
    Search,       // UID SEARCH
    Fetch,        // UID FETCH
    Store,        // UID STORE
    Idle,         // IDLE up to DONE and its completion
};

// What became of one IMAP step. A failure names its stage and why, in the
// server's words where it gave some; never a password or a mail's text.
struct ImapOutcome {
    bool succeeded = false;
    ImapStage stage = ImapStage::Connect;
    std::string detail;
    // The server answered the login with NO: the credentials are wrong.
    bool loginRefused = false;

    static ImapOutcome success(ImapStage stage) { return {true, stage, {}, false}; }
    static ImapOutcome failure(ImapStage stage, const std::string& detail) {
        return {false, stage, detail, false};
    }
};

// The stage's name for a log line, such as "LOGIN".
const char* imapStageName(ImapStage stage);
