#include "mail/SmtpAuth.h"

#include "mail/SmtpLimits.h"
#include "text/Base64.h"

namespace SmtpAuth {

namespace {

const char kCrLf[] = "\r\n";
const char kPlainCommand[] = "AUTH PLAIN";

// RFC 4616 2: no authorization identity, then the user and the password,
// each after a NUL.
std::string plainMessage(const std::string& user, const std::string& password) {
    return std::string(1, '\0') + user + std::string(1, '\0') + password;
}

}  // namespace

Mechanism choose(const EhloCapabilities& capabilities) {
    if (capabilities.authPlain) return Mechanism::Plain;
    if (capabilities.authLogin) return Mechanism::Login;
    return Mechanism::None;
}

std::string plainWithResponse(const std::string& user, const std::string& password) {
    const std::string line =
        std::string(kPlainCommand) + " " + Base64::encode(plainMessage(user, password)) + kCrLf;
    return line.size() <= SmtpLimits::kMaxCommandLine ? line : std::string();
}

std::string plainCommand() { return std::string(kPlainCommand) + kCrLf; }

std::string plainResponse(const std::string& user, const std::string& password) {
    return Base64::encode(plainMessage(user, password)) + kCrLf;
}

std::string loginCommand() { return std::string("AUTH LOGIN") + kCrLf; }

std::string loginAnswer(const std::string& text) { return Base64::encode(text) + kCrLf; }

}  // namespace SmtpAuth
