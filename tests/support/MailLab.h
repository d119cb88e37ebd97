#pragma once
#include <winsock2.h>
#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// Client of the mail lab, tests/peers/maillab.py, which tests/run.sh starts
// for the whole run and announces in TOLVANE_MAILLAB ("127.0.0.1:PORT").
//
// The lab serves two kinds of peer, each on a fresh loopback address of its
// own at port 25, so tests can run in parallel without sharing a server:
//   - a real SMTP server (aiosmtpd) that keeps every mail it accepts;
//   - a scripted peer that plays a PeerScript on every connection, for the
//     faults a real server does not make (silence, refusals, odd replies).
// It also hands out addresses with no listener: a connect there is refused
// at once, which is what "an unreachable server" means in tests.
//
// For every connection a peer accepted, the lab keeps every byte the client
// sent, so tests can check exact bytes as well as the mails. Failures (no
// lab, a request it refuses) are thrown as std::runtime_error, which the
// test framework reports as a failed test.
//
//   MailLab lab;
//   LabServer server = lab.startSmtp();
//   ... make the code under test send to server.host ...
//   ASSERT_TRUE(lab.waitForMails(server, 1));
//   ReceivedMail mail = lab.mails(server)[0];

// One mail as the SMTP server stored it: data after the server undid the
// period doubling, up to but not including the line ".".
struct ReceivedMail {
    std::string helo;
    std::string from;
    std::vector<std::string> recipients;
    std::string data;
    // When the server took the mail's end, in milliseconds of the lab's own
    // clock: only differences between two mails mean anything.
    unsigned long long receivedMs = 0;
};

// A mail as Python's email parser decodes it, every text in UTF-8.
struct DecodedMail {
    std::string subject;
    std::string body;
    std::string messageId;
    std::string charset;
    std::string transferEncoding;
};

// One connection a peer accepted, in the order accepted.
struct LabConnection {
    std::string helo;                 // SMTP server: the last HELO argument
    std::vector<ReceivedMail> mails;  // SMTP server: the mails accepted
    std::string transcript;           // every byte the client sent
    std::vector<std::string> errors;  // scripted peer: steps that went otherwise
    bool open = false;                // the connection is still up
    // What arrived before TLS began: all of the transcript without TLS,
    // nothing with implicit TLS. The transcript goes on decrypted.
    std::string cleartext;
};

struct LabServer {
    std::string id;
    std::string host;  // 127.0.0.N; 127.0.0.1 for TLS servers and proxies
    int port = 0;      // 25; a fresh port for TLS servers and proxies
};

// An SMTP server with TLS on 127.0.0.1 at a port of its own, for a client
// that names it "localhost" (the name in its certificate).
struct TlsServerOptions {
    enum Mode { StartTls, Implicit, Clear };  // Clear: no STARTTLS offered
    enum Certificate { Good, WrongName, Untrusted };
    Mode mode = StartTls;
    Certificate certificate = Good;
    // Non-empty: AUTH required, with these credentials as the server
    // compares them: UTF-8 bytes.
    std::string user;
    std::string password;
    std::string mechanisms = "PLAIN,LOGIN";
    bool eightBitMime = true;
    // A reply line slipped in after the 220 to STARTTLS, in the clear.
    bool injectAfterStartTls = false;
    // The handshake asks for a client certificate and goes on without one.
    bool asksForClientCertificate = false;
};

// A private Dovecot IMAP server on 127.0.0.1, with the good certificate, one
// user and a Maildir.
struct ImapLabServer {
    LabServer server;  // its port is the one with TLS from the first byte
    int startTlsPort = 0;
    std::string user;
    std::string password;      // as typed, in the system code page
    std::string passwordUtf8;  // as a login sends it
};

// One mail of the Maildir: its Message-ID and the Maildir's flag letters
// (S seen, R answered).
struct MaildirMail {
    std::string messageId;
    std::string flags;
};

// A push service of the lab (tests/peers/pushlab.py): the URL that reaches
// it, with credentials of its own, and where it listens.
struct PushService {
    std::string id;
    std::string url;
    std::string host;  // the lab's push address, which the services' names lead to
    int port = 0;      // 443, or a port of its own
};

struct PushServiceOptions {
    enum Auth { NoAuth, Token, Basic };  // ntfy only; Gotify always has its token
    enum Certificate { Good, Untrusted, PlainHttp, NotListening };
    Auth auth = NoAuth;
    Certificate certificate = Good;
    // The statuses its requests get in turn, the last repeating (200 when
    // none), each with its Retry-After in seconds (-1: none).
    std::vector<std::pair<int, int>> answers;
};

// One request a push service got, and the status it answered.
struct PushedRequest {
    std::string method;
    std::string path;
    std::string headers;  // "Name: value\n" each, as sent
    std::string body;
    int status = 0;
    unsigned long long receivedMs = 0;
};

// The name a TLS server's good certificate is issued to.
const char kTlsServerName[] = "localhost";

// The steps a scripted peer plays on each connection, in order. After the
// last step it says nothing more and records what the client sends until
// the client closes.
class PeerScript {
public:
    PeerScript& send(const std::string& text);
    // Reads one line; an error unless it starts with the prefix.
    PeerScript& expect(const std::string& prefix);
    // Reads mail data up to and including the line ".".
    PeerScript& readData();
    // Waits; an error when the client sends anything meanwhile, i.e. when
    // it did not wait for the reply that is still to come.
    PeerScript& quiet(int milliseconds);
    PeerScript& close();
    // Answers nothing, ever; records until the client closes.
    PeerScript& silent();

    // A polite SMTP server's side of a greeting and HELO.
    PeerScript& greet();

    // The steps as the lab reads them.
    const std::string& words() const { return words_; }

private:
    PeerScript& step(const std::string& word);
    std::string words_;
};

// How often the part occurs in the text, e.g. "HELO " in a transcript.
std::size_t occurrences(const std::string& text, const std::string& part);

// Polls the condition until it holds; false when the time ran out first.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

class MailLab {
public:
    // Connects to the lab named by TOLVANE_MAILLAB.
    MailLab();
    ~MailLab();
    MailLab(const MailLab&) = delete;
    MailLab& operator=(const MailLab&) = delete;

    // An SMTP server that accepts every mail; the listed recipients get 550,
    // and the first `deferredRecipients` RCPT commands get 451. Above 0,
    // `breakAfterMail` ends the connection right after that mail's 250.
    LabServer startSmtp(const std::vector<std::string>& refusedRecipients = {},
                        int deferredRecipients = 0, int breakAfterMail = 0);
    LabServer startScript(const PeerScript& script);
    // An address where every connect is refused at once.
    LabServer unreachable();
    // An address where a connect is never answered, as at a host that drops
    // packets.
    LabServer blackhole();
    // Makes an unreachable address an SMTP server as startSmtp() gives.
    void listen(const LabServer& unreachable);
    LabServer startTls(const TlsServerOptions& options);
    // Passes every byte between a client and the server on in pieces of
    // `chunk` bytes, with a short pause after each.
    LabServer startProxy(const LabServer& server, int chunk);
    ImapLabServer startImap();
    // Puts the mail into the server's Maildir, as a delivery would.
    void deliver(const ImapLabServer& server, const std::string& mail);
    std::vector<MaildirMail> maildir(const ImapLabServer& server);
    // The logins the IMAP server saw, refused ones too.
    std::size_t imapLogins(const ImapLabServer& server);
    // A push service of the kind "ntfy", "gotify", "pushover" or "telegram".
    PushService startPush(const std::string& kind, const PushServiceOptions& options = {});
    // Makes a service started NotListening listen, with a good certificate.
    void listen(const PushService& service);
    std::vector<PushedRequest> pushed(const PushService& service);
    bool waitForPushed(const PushService& service, std::size_t count, DWORD timeoutMs = 10000);
    // The lab's test CA certificate as Wine names the file: PEM or DER.
    std::string caFile(bool der = false);
    void stop(const LabServer& server);

    std::vector<LabConnection> connections(const LabServer& server);
    // The mails of every connection, in the order received.
    std::vector<ReceivedMail> mails(const LabServer& server);
    std::size_t connectionCount(const LabServer& server);
    // The mails of every connection as a mail reader decodes them.
    std::vector<DecodedMail> decodedMails(const LabServer& server);

    // Polls until the server has at least `count` mails or connections;
    // false when the time ran out first.
    bool waitForMails(const LabServer& server, std::size_t count, DWORD timeoutMs = 10000);
    bool waitForConnections(const LabServer& server, std::size_t count, DWORD timeoutMs = 10000);
    // The only connection of a peer, once it has ended; a failed check of
    // the running test, and an empty connection, when there is no such one.
    LabConnection finishedConnection(const LabServer& server);

private:
    class Answer;
    Answer request(const std::string& line);
    LabServer startPeer(const std::string& line);
    void disconnect();

    SOCKET control_ = INVALID_SOCKET;
    bool winsockStarted_ = false;
};
