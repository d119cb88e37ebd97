#include "imap/ImapOptions.h"

namespace {

const int32_t kStartTlsPort = 143;
const int32_t kTlsPort = 993;

}  // namespace

int32_t imapPortToUse(const ImapOptions& options) {
    if (options.port > 0) return options.port;
    return options.security == ImapOptions::Security::StartTls ? kStartTlsPort : kTlsPort;
}

ImapOptions::Security imapSecurityFromNumber(int32_t number) {
    return number == static_cast<int32_t>(ImapOptions::Security::StartTls) ? ImapOptions::Security::StartTls
                                                                            : ImapOptions::Security::Tls;
}
