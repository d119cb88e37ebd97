#pragma once
#define SECURITY_WIN32
#include <windows.h>
#include <security.h>

#include <string>

#include "net/Connection.h"
#include "net/NetLimits.h"
#include "net/NetOutcome.h"

// TLS over another connection, through SChannel: TLS 1.2, the
// server's certificate checked by CertificateCheck rather than by SChannel
// (which under Wine checks nothing). Uses only secur32 and crypt32.
class TlsConnection : public Connection {
public:
    // The transport must outlive this connection.
    explicit TlsConnection(Connection& transport);
    ~TlsConnection() override;
    TlsConnection(const TlsConnection&) = delete;
    TlsConnection& operator=(const TlsConnection&) = delete;

    // The client's handshake with the server of that name (sent as SNI).
    // A failure, an older protocol or a broken transport is the
    // TlsHandshake stage. Within the limit, all of it.
    NetOutcome handshake(const std::string& serverName, uint32_t limitMs = NetLimits::kTlsHandshakeMs);
    // The server's certificate: a chain to a trusted root (the system's, or
    // one of the "Trusted CA File") for server authentication, issued to
    // serverName. A failure is the Certificate stage.
    NetOutcome checkCertificate(const std::string& serverName, const std::string& trustedCaFile);
    // Both, for a client that has nothing to say between them.
    NetOutcome secure(const std::string& serverName, const std::string& trustedCaFile);

    bool sendAll(const std::string& bytes) override;
    bool receive(std::string& bytes) override;
    void limitWaits(uint32_t milliseconds) override { transport_.limitWaits(milliseconds); }
    bool timedOut() const override { return transport_.timedOut(); }
    void shutDown() override;

    // Tells the server that nothing more follows (close_notify); the
    // transport stays open for its owner to close.
    void close();

private:
    bool acquireCredentials();
    SECURITY_STATUS step(const wchar_t* target, bool first, bool& sentToken);
    bool sendToken(SecBuffer& token);
    bool protocolAllowed();

    Connection& transport_;
    CredHandle credentials_{};
    CtxtHandle context_{};
    unsigned long request_;
    bool haveCredentials_ = false;
    bool haveContext_ = false;
    bool established_ = false;
    SecPkgContext_StreamSizes sizes_{};
    // Bytes from the server not yet handed to SChannel.
    std::string incoming_;
};
