#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imap/ImapOptions.h"
#include "imap/ImapOutcome.h"
#include "imap/ImapReader.h"
#include "imap/ImapSyntax.h"

class AbortSignal;
class Connection;
class PlainConnection;
class TlsConnection;

// The IMAP client (IMAP4rev1, RFC 3501): one connection to the server,
// always protected by TLS, commands tagged and sent one at a time, only
// those every server has. Responses it does not ask for are skipped. Every
// response is waited for at most a time limit; an abort signal raised from
// another thread shuts the connection and ends any wait at once, IDLE's
// included.
class ImapSession {
public:
    // How long a response may keep the client waiting before the server is
    // taken for gone.
    static constexpr unsigned kResponseTimeoutMs = 30 * 1000;

    explicit ImapSession(AbortSignal* abort = nullptr, unsigned responseTimeoutMs = kResponseTimeoutMs);
    ~ImapSession();
    ImapSession(const ImapSession&) = delete;
    ImapSession& operator=(const ImapSession&) = delete;

    // Connects, protects the connection, checks the certificate and logs in.
    ImapOutcome open(const ImapOptions& options);
    // SELECT INBOX; the number of mails it holds.
    ImapOutcome selectInbox(uint32_t& mails);
    // UID SEARCH UNSEEN FROM: the mails not yet seen whose From holds the
    // address (the server's own, looser, match).
    ImapOutcome searchUnseenFrom(const std::string& address, std::vector<uint32_t>& uids);
    // The From, In-Reply-To and References fields of each mail, with
    // BODY.PEEK so that nothing is marked seen.
    ImapOutcome fetchHeaders(const std::vector<uint32_t>& uids, std::vector<ImapSyntax::Fetched>& mails);
    // The whole mail, up to the reader's limit, with BODY.PEEK.
    ImapOutcome fetchMail(uint32_t uid, ImapSyntax::Fetched& mail);
    // UID STORE +FLAGS.SILENT, e.g. "\\Seen \\Answered".
    ImapOutcome addFlags(uint32_t uid, const std::string& flags);
    bool offersIdle() const { return ImapSyntax::has(capabilities_, "IDLE"); }
    // IDLE (RFC 2177) until the server tells of new mail or the time is up,
    // then DONE and its completion. `newMail` says which.
    ImapOutcome idle(unsigned milliseconds, bool& newMail);
    // LOGOUT and the end of the connection.
    void close();

    bool isOpen() const { return open_; }

private:
    enum class Read { Response, TimedOut, Failed };

    ImapOutcome protect(const std::string& name, const ImapOptions& options);
    ImapOutcome logIn(const ImapOptions& options);
    ImapOutcome logInPlain(const std::string& user, const std::string& password);
    ImapOutcome logInLogin(const std::string& user, const std::string& password);
    ImapOutcome askCapabilities(ImapStage stage);
    // Sends a tagged command and reads up to its completion, keeping the
    // untagged responses when asked to; a failure unless it ends OK.
    ImapOutcome command(ImapStage stage, const std::string& text,
                        std::vector<ImapResponse>* untagged = nullptr);
    // Sends the first line of a command and waits for the server's "+".
    ImapOutcome begin(ImapStage stage, const std::string& text);
    // A new tag and the command line under it.
    ImapOutcome sendTagged(ImapStage stage, const std::string& text);
    // Reads up to the server's "+"; its tagged refusal is a failure.
    ImapOutcome continuation(ImapStage stage);
    ImapOutcome finish(ImapStage stage, std::vector<ImapResponse>* untagged);
    std::string nextTag();
    bool send(const std::string& bytes);
    Read read(ImapResponse& response, unsigned milliseconds);
    bool aborted() const;
    void release();

    AbortSignal* abort_;
    unsigned responseTimeoutMs_;
    std::unique_ptr<PlainConnection> plain_;
    std::unique_ptr<TlsConnection> tls_;
    Connection* link_ = nullptr;
    ImapReader reader_;
    std::vector<std::string> capabilities_;
    std::string tag_;
    unsigned tagNumber_ = 0;
    bool open_ = false;
};
