#include "net/TlsConnection.h"

#include <schannel.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "net/CertificateCheck.h"

namespace {

const DWORD kContextRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                              ISC_REQ_EXTENDED_ERROR | ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM |
                              ISC_REQ_MANUAL_CRED_VALIDATION;
// Protocols accepted after the handshake, whatever SChannel was offered.
const DWORD kAllowedProtocols = SP_PROT_TLS1_2_CLIENT;
// A handshake takes two or three rounds; a server that keeps asking for more
// is not finishing one. Waits for the rest of a record are not rounds.
const int kMaxHandshakeRounds = 16;

// The name with its terminating zero. A vector rather than std::wstring:
// nothing else here needs wide strings, and their runtime part is large.
std::vector<wchar_t> wide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) return std::vector<wchar_t>(1, L'\0');
    std::vector<wchar_t> out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, out.data(), length);
    return out;
}

SecBuffer buffer(unsigned long type, void* data = nullptr, std::size_t size = 0) {
    SecBuffer b;
    b.BufferType = type;
    b.pvBuffer = data;
    b.cbBuffer = static_cast<unsigned long>(size);
    return b;
}

SecBufferDesc description(SecBuffer* buffers, unsigned long count) {
    SecBufferDesc d;
    d.ulVersion = SECBUFFER_VERSION;
    d.cBuffers = count;
    d.pBuffers = buffers;
    return d;
}

// The bytes SChannel did not use, at the end of what it was given.
std::string extraOf(const SecBuffer* buffers, unsigned long count, const std::string& given) {
    for (unsigned long i = 0; i < count; ++i) {
        if (buffers[i].BufferType == SECBUFFER_EXTRA && buffers[i].cbBuffer <= given.size()) {
            return given.substr(given.size() - buffers[i].cbBuffer);
        }
    }
    return std::string();
}

NetOutcome handshakeFailure(const char* detail) { return NetOutcome::failure(NetStage::TlsHandshake, detail); }

}  // namespace

TlsConnection::TlsConnection(Connection& transport) : transport_(transport), request_(kContextRequest) {}

TlsConnection::~TlsConnection() {
    if (haveContext_) DeleteSecurityContext(&context_);
    if (haveCredentials_) FreeCredentialsHandle(&credentials_);
}

bool TlsConnection::acquireCredentials() {
    SCHANNEL_CRED credentials{};
    credentials.dwVersion = SCHANNEL_CRED_VERSION;
    // TLS 1.2 only: SChannel's default would offer 1.0 and 1.1 too, and 1.3
    // needs the newer SCH_CREDENTIALS, which older systems (and Wine) lack.
    credentials.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
    credentials.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS | SCH_USE_STRONG_CRYPTO;
    TimeStamp expiry;
    const SECURITY_STATUS status =
        AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND, nullptr,
                                  &credentials, nullptr, nullptr, &credentials_, &expiry);
    haveCredentials_ = status == SEC_E_OK;
    return haveCredentials_;
}

bool TlsConnection::sendToken(SecBuffer& token) {
    if (!token.pvBuffer) return true;
    const bool sent = token.cbBuffer == 0 || transport_.sendAll(std::string(
                                                 static_cast<const char*>(token.pvBuffer), token.cbBuffer));
    FreeContextBuffer(token.pvBuffer);
    token.pvBuffer = nullptr;
    return sent;
}

// One call of InitializeSecurityContext over the bytes received so far; its
// token goes to the server at once, an alert included.
SECURITY_STATUS TlsConnection::step(const wchar_t* target, bool first, bool& sentToken) {
    // Wine wants an empty buffer after the token, where SECBUFFER_EXTRA comes back.
    SecBuffer in[2] = {buffer(SECBUFFER_TOKEN, &incoming_[0], incoming_.size()), buffer(SECBUFFER_EMPTY)};
    SecBuffer out[1] = {buffer(SECBUFFER_TOKEN)};
    SecBufferDesc inDesc = description(in, 2);
    SecBufferDesc outDesc = description(out, 1);
    unsigned long attributes = 0;
    const SECURITY_STATUS status = InitializeSecurityContextW(
        &credentials_, first ? nullptr : &context_, const_cast<wchar_t*>(target), request_, 0,
        0, first ? nullptr : &inDesc, 0, first ? &context_ : nullptr, &outDesc, &attributes, nullptr);
    if (first && (status == SEC_I_CONTINUE_NEEDED || status == SEC_E_OK)) haveContext_ = true;
    sentToken = sendToken(out[0]);
    // SChannel has not taken the bytes yet when it asks for a certificate.
    if (first || status == SEC_E_INCOMPLETE_MESSAGE || status == SEC_I_INCOMPLETE_CREDENTIALS) return status;
    incoming_ = extraOf(in, 2, incoming_);
    return status;
}

NetOutcome TlsConnection::handshake(const std::string& serverName, uint32_t limitMs) {
    if (!acquireCredentials()) return handshakeFailure("SChannel offers no TLS credentials");
    transport_.limitWaits(limitMs);
    const std::vector<wchar_t> target = wide(serverName);
    incoming_.clear();
    bool sent = false;
    SECURITY_STATUS status = step(target.data(), true, sent);
    if (status != SEC_I_CONTINUE_NEEDED || !sent) {
        return handshakeFailure("the TLS handshake could not start");
    }
    for (int rounds = 0; status != SEC_E_OK;) {
        const bool needsBytes = incoming_.empty() || status == SEC_E_INCOMPLETE_MESSAGE;
        if (needsBytes && !transport_.receive(incoming_)) {
            if (transport_.timedOut()) {
                return NetOutcome::failure(NetStage::TlsHandshake,
                                           "no answer within " + std::to_string((limitMs + 999) / 1000) + " s");
            }
            return handshakeFailure("the connection ended during the TLS handshake");
        }
        if (status != SEC_E_INCOMPLETE_MESSAGE && ++rounds > kMaxHandshakeRounds) {
            return handshakeFailure("the TLS handshake does not end");
        }
        status = step(target.data(), false, sent);
        if (!sent) return handshakeFailure("the connection ended during the TLS handshake");
        if (status == SEC_I_INCOMPLETE_CREDENTIALS && !(request_ & ISC_REQ_USE_SUPPLIED_CREDS)) {
            // The server asked for a client certificate: the same bytes go
            // to SChannel again, now told to answer with the credentials it
            // has, which hold none, instead of waiting for more from a
            // server that waits for that answer.
            request_ |= ISC_REQ_USE_SUPPLIED_CREDS;
            status = SEC_I_CONTINUE_NEEDED;
            continue;
        }
        if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED && status != SEC_E_INCOMPLETE_MESSAGE) {
            return handshakeFailure("the server's TLS was not accepted");
        }
    }
    if (!protocolAllowed()) return handshakeFailure("the server speaks no TLS 1.2");
    if (QueryContextAttributesW(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes_) != SEC_E_OK) {
        return handshakeFailure("SChannel gave no record sizes");
    }
    established_ = true;
    return NetOutcome::success(NetStage::TlsHandshake);
}

bool TlsConnection::protocolAllowed() {
    SecPkgContext_ConnectionInfo info{};
    if (QueryContextAttributesW(&context_, SECPKG_ATTR_CONNECTION_INFO, &info) != SEC_E_OK) return false;
    return (info.dwProtocol & kAllowedProtocols) != 0;
}

NetOutcome TlsConnection::checkCertificate(const std::string& serverName, const std::string& trustedCaFile) {
    PCCERT_CONTEXT certificate = nullptr;
    if (!established_ ||
        QueryContextAttributesW(&context_, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) != SEC_E_OK) {
        return NetOutcome::failure(NetStage::Certificate, "the server sent no certificate");
    }
    NetOutcome outcome = checkServerCertificate(certificate, wide(serverName).data(), trustedCaFile);
    CertFreeCertificateContext(certificate);
    return outcome;
}

NetOutcome TlsConnection::secure(const std::string& serverName, const std::string& trustedCaFile) {
    const NetOutcome shaken = handshake(serverName);
    return shaken.succeeded ? checkCertificate(serverName, trustedCaFile) : shaken;
}

bool TlsConnection::sendAll(const std::string& bytes) {
    if (!established_) return false;
    std::string record;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t size = std::min<std::size_t>(bytes.size() - at, sizes_.cbMaximumMessage);
        record.assign(sizes_.cbHeader + size + sizes_.cbTrailer, '\0');
        std::memcpy(&record[sizes_.cbHeader], bytes.data() + at, size);
        SecBuffer parts[4] = {
            buffer(SECBUFFER_STREAM_HEADER, &record[0], sizes_.cbHeader),
            buffer(SECBUFFER_DATA, &record[sizes_.cbHeader], size),
            buffer(SECBUFFER_STREAM_TRAILER, &record[sizes_.cbHeader + size], sizes_.cbTrailer),
            buffer(SECBUFFER_EMPTY)};
        SecBufferDesc desc = description(parts, 4);
        if (EncryptMessage(&context_, 0, &desc, 0) != SEC_E_OK) return false;
        record.resize(parts[0].cbBuffer + parts[1].cbBuffer + parts[2].cbBuffer);
        if (!transport_.sendAll(record)) return false;
        at += size;
    }
    return true;
}

bool TlsConnection::receive(std::string& bytes) {
    if (!established_) return false;
    for (;;) {
        if (incoming_.empty() && !transport_.receive(incoming_)) return false;
        SecBuffer parts[4] = {buffer(SECBUFFER_DATA, &incoming_[0], incoming_.size()),
                              buffer(SECBUFFER_EMPTY), buffer(SECBUFFER_EMPTY), buffer(SECBUFFER_EMPTY)};
        SecBufferDesc desc = description(parts, 4);
        const SECURITY_STATUS status = DecryptMessage(&context_, &desc, 0, nullptr);
        if (status == SEC_E_INCOMPLETE_MESSAGE) {
            if (!transport_.receive(incoming_)) return false;
            continue;
        }
        // The server's close_notify, a renegotiation (not taken) or a broken
        // record all end the stream.
        if (status != SEC_E_OK) return false;
        std::size_t arrived = 0;
        for (const SecBuffer& part : parts) {
            if (part.BufferType != SECBUFFER_DATA || !part.pvBuffer) continue;
            bytes.append(static_cast<const char*>(part.pvBuffer), part.cbBuffer);
            arrived += part.cbBuffer;
        }
        incoming_ = extraOf(parts, 4, incoming_);
        if (arrived > 0) return true;
    }
}

void TlsConnection::shutDown() { transport_.shutDown(); }

void TlsConnection::close() {
    if (!established_) return;
    established_ = false;
    DWORD type = SCHANNEL_SHUTDOWN;
    SecBuffer control[1] = {buffer(SECBUFFER_TOKEN, &type, sizeof type)};
    SecBufferDesc controlDesc = description(control, 1);
    if (ApplyControlToken(&context_, &controlDesc) != SEC_E_OK) return;
    SecBuffer out[1] = {buffer(SECBUFFER_TOKEN)};
    SecBufferDesc outDesc = description(out, 1);
    unsigned long attributes = 0;
    InitializeSecurityContextW(&credentials_, &context_, nullptr, kContextRequest, 0, 0, nullptr, 0, nullptr,
                               &outDesc, &attributes, nullptr);
    sendToken(out[0]);
}
