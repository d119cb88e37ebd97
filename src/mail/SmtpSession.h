#pragma once
#include <memory>
#include <string>

#include "mail/EhloCapabilities.h"
#include "mail/MailJob.h"
#include "mail/SmtpOptions.h"
#include "mail/SmtpOutcome.h"

class AbortSignal;
class Connection;
class PlainConnection;
class TlsConnection;

// The SMTP client: one connection to a server, any number of mails through
// it, then QUIT. It speaks SMTP only, over a Connection: plain TCP, or TLS
// over it.
//
// Security None is the classic conversation: HELO, replies read whole but
// only the reply to DATA looked at, so that the mail data never follows a
// refusal, where the server would read it as commands. STARTTLS and TLS use
// EHLO, protect the connection before anything of the user's is sent, check
// the server's certificate, log in when a user is set, and send a complete
// MIME message; there every reply is checked and a refusal ends the step.
class SmtpSession {
public:
    // With an abort signal, another thread can end the session's blocking
    // calls at once.
    explicit SmtpSession(AbortSignal* abort = nullptr);
    // A session still open is closed without QUIT.
    ~SmtpSession();
    SmtpSession(const SmtpSession&) = delete;
    SmtpSession& operator=(const SmtpSession&) = delete;

    // Connects to the server (a dotted IPv4 address, or a name looked up
    // once; at most its first 255 characters) at the port of the options,
    // and greets it; with STARTTLS or TLS, protects the connection, checks
    // the certificate and logs in. The session is open exactly when the
    // outcome is a success; a raised abort signal fails it too.
    SmtpOutcome open(const std::string& server, const std::string& heloDomain,
                     const SmtpOptions& options = SmtpOptions());
    // One mail transaction. With security None a refused MAIL FROM or
    // RCPT TO goes unnoticed, and when DATA is refused too, RSET ends the
    // transaction instead of the data; the outcome still names the first
    // refusal. Otherwise a refusal ends the transaction with RSET at once.
    SmtpOutcome sendMail(const MailJob& job);
    // QUIT, its reply, and the end of the connection.
    void close();

    bool isOpen() const { return open_; }
    // Open, and the server waits for the next command: the connection did
    // not break.
    bool usable() const { return open_ && inStep_; }

private:
    struct Reply {
        int code = 0;           // 0: the connection ended first
        std::string firstLine;  // without CR LF
        std::string text;       // the whole reply, when asked for
    };

    SmtpOutcome greetPlainly(const std::string& heloDomain);
    SmtpOutcome greetProtected(const std::string& server, const std::string& heloDomain,
                               const SmtpOptions& options);
    SmtpOutcome startTls(const std::string& server, const SmtpOptions& options);
    SmtpOutcome hello(const std::string& heloDomain);
    SmtpOutcome logIn(const SmtpOptions& options);
    // User and password in UTF-8.
    SmtpOutcome logInPlain(const std::string& user, const std::string& password);
    SmtpOutcome logInLogin(const std::string& user, const std::string& password);
    SmtpOutcome sendPlainMail(const MailJob& job);
    SmtpOutcome sendProtectedMail(const MailJob& job);
    // Sends a command and reads its reply; a failure of the stage unless
    // the reply's class (2 for 2xx, 3 for 3xx) is the one expected.
    SmtpOutcome exchange(SmtpStage stage, const std::string& command, int expectedClass,
                         Reply* reply = nullptr);
    SmtpOutcome refusedWithReset(const SmtpOutcome& refusal);

    uint32_t limitFor(SmtpStage stage) const;
    // The waits of the sends and receives that follow end within this long.
    void limitWaits(uint32_t milliseconds);
    // A failure of the stage for a reply that did not come: the connection
    // broke, or the time ran out.
    SmtpOutcome noReply(SmtpStage stage) const;
    // The last wait ran out of time.
    bool silent() const;
    // QUIT, its reply, and the end of TLS; the socket stays to release().
    void quit();
    bool sendText(const std::string& text);
    // Reads one whole reply, however long and however many receives it
    // takes, until the connection ends.
    Reply readReply(bool keepText = false);
    bool aborted() const;
    void release();

    AbortSignal* abort_;
    std::unique_ptr<PlainConnection> plain_;
    std::unique_ptr<TlsConnection> tls_;
    Connection* link_ = nullptr;
    bool open_ = false;
    // The server has answered everything sent and waits for a command.
    bool inStep_ = false;
    SmtpSecurity security_ = SmtpSecurity::None;
    std::string heloDomain_;
    EhloCapabilities capabilities_;
    SmtpTimeLimits limits_;
    uint32_t waitLimitMs_ = 0;
};
