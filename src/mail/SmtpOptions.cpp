#include "mail/SmtpOptions.h"

namespace {

const int32_t kSubmissionPort = 587;  // RFC 6409
const int32_t kImplicitTlsPort = 465; // RFC 8314
const int32_t kSmtpPort = 25;

}  // namespace

int32_t usualPort(SmtpSecurity security) {
    switch (security) {
        case SmtpSecurity::StartTls: return kSubmissionPort;
        case SmtpSecurity::Tls: return kImplicitTlsPort;
        case SmtpSecurity::None: break;
    }
    return kSmtpPort;
}

int32_t portToUse(const SmtpOptions& options) {
    const bool valid = options.port > 0 && options.port <= kLargestPort;
    return valid ? options.port : usualPort(options.security);
}

SmtpSecurity securityFromNumber(int32_t number) {
    switch (number) {
        case 1: return SmtpSecurity::StartTls;
        case 2: return SmtpSecurity::Tls;
        default: return SmtpSecurity::None;
    }
}
