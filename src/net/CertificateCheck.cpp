#include "net/CertificateCheck.h"

#include <cstddef>
#include <cstdio>
#include <memory>
#include <vector>

#include "net/PemFile.h"

namespace {

class Store {
public:
    Store() : handle_(CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, 0, nullptr)) {}
    ~Store() {
        if (handle_) CertCloseStore(handle_, 0);
    }
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;
    HCERTSTORE get() const { return handle_; }

private:
    HCERTSTORE handle_;
};

// The engine's configuration as Windows 8 lays it out; the headers show the
// exclusive root only to builds for Windows 7 and later.
struct EngineConfig {
    CERT_CHAIN_ENGINE_CONFIG base;
    HCERTSTORE hExclusiveRoot;
    HCERTSTORE hExclusiveTrustedPeople;
    DWORD dwExclusiveFlags;
};
static_assert(offsetof(EngineConfig, hExclusiveRoot) == sizeof(CERT_CHAIN_ENGINE_CONFIG),
              "the exclusive root follows the older fields directly");

class ChainEngine {
public:
    explicit ChainEngine(HCERTSTORE exclusiveRoot) {
        EngineConfig config{};
        config.base.cbSize = sizeof config;
        config.hExclusiveRoot = exclusiveRoot;
        if (create(config)) return;
        // Wine takes only the Windows 7 form, which ends before the flags.
        config.base.cbSize = offsetof(EngineConfig, dwExclusiveFlags);
        if (!create(config)) handle_ = nullptr;
    }
    ~ChainEngine() {
        if (handle_) CertFreeCertificateChainEngine(handle_);
    }
    ChainEngine(const ChainEngine&) = delete;
    ChainEngine& operator=(const ChainEngine&) = delete;
    HCERTCHAINENGINE get() const { return handle_; }

private:
    bool create(EngineConfig& config) {
        return CertCreateCertificateChainEngine(&config.base, &handle_) != FALSE;
    }

    HCERTCHAINENGINE handle_ = nullptr;
};

// The whole file, or nothing when it cannot be read. C stdio, not a stream:
// a stream would link the C++ locale machinery, most of the DLL's size.
std::string fileContents(const std::string& path) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    std::string contents;
    if (!file) return contents;
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0;) {
        contents.append(chunk, got);
    }
    return contents;
}

// The certificates of the file, added to the store; how many there were.
std::size_t addTrustedCertificates(HCERTSTORE store, const std::string& path) {
    std::size_t added = 0;
    for (const std::string& der : certificatesInFile(fileContents(path))) {
        if (CertAddEncodedCertificateToStore(
                store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                static_cast<DWORD>(der.size()), CERT_STORE_ADD_ALWAYS, nullptr)) {
            ++added;
        }
    }
    return added;
}

const char* policyReason(DWORD error) {
    switch (error) {
        case static_cast<DWORD>(CERT_E_CN_NO_MATCH):
            return "the certificate is not issued to the server's name";
        case static_cast<DWORD>(CERT_E_UNTRUSTEDROOT):
            return "the certificate does not lead to a trusted root";
        case static_cast<DWORD>(CERT_E_EXPIRED): return "the certificate has expired or is not yet valid";
        case static_cast<DWORD>(CERT_E_WRONG_USAGE):
            return "the certificate is not for server authentication";
        default: return "the certificate was not accepted";
    }
}

// One chain built by the engine and checked by the SSL policy. Wine's policy
// lets an incomplete chain pass, so the chain's own status must be clean too.
bool chainPasses(HCERTCHAINENGINE engine, PCCERT_CONTEXT certificate, const wchar_t* name,
                 std::string& reason) {
    LPSTR usages[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH)};
    CERT_CHAIN_PARA chainPara{};
    chainPara.cbSize = sizeof chainPara;
    chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
    chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    if (!CertGetCertificateChain(engine, certificate, nullptr, certificate->hCertStore, &chainPara, 0,
                                 nullptr, &chain)) {
        reason = "no certificate chain could be built";
        return false;
    }
    HTTPSPolicyCallbackData https{};
    https.cbStruct = sizeof https;
    https.dwAuthType = AUTHTYPE_SERVER;
    https.pwszServerName = const_cast<wchar_t*>(name);
    CERT_CHAIN_POLICY_PARA policyPara{};
    policyPara.cbSize = sizeof policyPara;
    policyPara.pvExtraPolicyPara = &https;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof status;
    const BOOL checked = CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policyPara, &status);
    const DWORD chainErrors = chain->TrustStatus.dwErrorStatus;
    CertFreeCertificateChain(chain);
    if (!checked) {
        reason = "the certificate policy could not be checked";
        return false;
    }
    if (status.dwError != 0) {
        reason = policyReason(status.dwError);
        return false;
    }
    if (chainErrors != CERT_TRUST_NO_ERROR) {
        reason = chainErrors & CERT_TRUST_IS_NOT_VALID_FOR_USAGE
                     ? policyReason(static_cast<DWORD>(CERT_E_WRONG_USAGE))
                     : policyReason(static_cast<DWORD>(CERT_E_UNTRUSTEDROOT));
        return false;
    }
    return true;
}

}  // namespace

NetOutcome checkServerCertificate(PCCERT_CONTEXT certificate, const wchar_t* name,
                                  const std::string& trustedCaFile) {
    if (!certificate) return NetOutcome::failure(NetStage::Certificate, "the server sent no certificate");
    std::string reason;
    if (chainPasses(nullptr, certificate, name, reason)) return NetOutcome::success(NetStage::Certificate);
    if (trustedCaFile.empty()) return NetOutcome::failure(NetStage::Certificate, reason);

    Store roots;
    if (!roots.get() || addTrustedCertificates(roots.get(), trustedCaFile) == 0) {
        return NetOutcome::failure(NetStage::Certificate,
                                   reason + "; the Trusted CA File holds no certificate");
    }
    ChainEngine engine(roots.get());
    if (!engine.get()) {
        return NetOutcome::failure(NetStage::Certificate,
                                   reason + "; no chain engine for the Trusted CA File");
    }
    std::string fileReason;
    if (chainPasses(engine.get(), certificate, name, fileReason)) {
        return NetOutcome::success(NetStage::Certificate);
    }
    // The name is checked the same way in both chains; say what the file's
    // chain found, the more telling of the two for a self-hosted server.
    return NetOutcome::failure(NetStage::Certificate, fileReason);
}
