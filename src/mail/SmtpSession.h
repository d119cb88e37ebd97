#pragma once
#include <winsock2.h>
#include <windows.h>

#include <string>

#include "mail/MailJob.h"
#include "mail/SmtpOutcome.h"

class AbortSignal;

// The SMTP client: one connection to port 25 of a server, greeted with HELO,
// any number of mails through it, then QUIT. Replies are read whole; only
// the reply to DATA is looked at, so that the mail data never follows a
// refusal, where the server would read it as commands. Each session starts
// Windows Sockets for itself and cleans it up when it ends.
class SmtpSession {
public:
    static constexpr unsigned kPort = 25;

    // With an abort signal, another thread can end the session's blocking
    // calls at once.
    explicit SmtpSession(AbortSignal* abort = nullptr);
    // A session still open is closed without QUIT.
    ~SmtpSession();
    SmtpSession(const SmtpSession&) = delete;
    SmtpSession& operator=(const SmtpSession&) = delete;

    // Connects to the server (a dotted IPv4 address, or a name looked up once;
    // at most its first 255 characters), reads the greeting, sends HELO and
    // reads its reply. Returns the connected socket, or INVALID_SOCKET when no
    // connection could be made or the abort signal was raised meanwhile.
    SOCKET open(const std::string& server, const std::string& heloDomain);
    // How the last open went: where it failed, or the reply that refused the
    // greeting or HELO, or the HELO reply. The conversation goes on after a
    // refused greeting or HELO as after any other refusal.
    const SmtpOutcome& openOutcome() const { return openOutcome_; }
    // One mail transaction. A refused MAIL FROM or RCPT TO does not stop it;
    // when DATA is refused too, RSET ends the transaction instead of the data.
    // Returns the first refusal, or the reply to the end of the data.
    SmtpOutcome sendMail(const MailJob& job);
    // QUIT, its reply, and the end of the connection.
    void close();

    // Sends every byte of the text, or as many as the connection takes.
    void sendText(const std::string& text);
    // Reads one whole reply, however long and however many receives it
    // takes, until the connection ends; returns its first line (at most
    // kMaxKeptLine bytes of it).
    std::string readReply();
    static constexpr std::size_t kMaxKeptLine = 512;

    bool isOpen() const { return socket_ != INVALID_SOCKET; }

private:
    bool connectTo(const std::string& server);
    SmtpOutcome replyOutcome(SmtpStage stage);
    bool aborted() const;
    void release();

    AbortSignal* abort_;
    SOCKET socket_ = INVALID_SOCKET;
    SmtpOutcome openOutcome_;
    bool winsockStarted_ = false;
};
