#pragma once
#include <string>

#include "mail/EhloCapabilities.h"

// The lines of a login with AUTH (RFC 4954): PLAIN (RFC 4616) where the
// server offers it, else LOGIN. Every line ends with CR LF.
namespace SmtpAuth {

enum class Mechanism { None, Plain, Login };

Mechanism choose(const EhloCapabilities& capabilities);

// "AUTH PLAIN" with the response on the same line when the line stays
// within the command limit; empty when it would not, and then
// plainCommand() and plainResponse() go one after the other.
std::string plainWithResponse(const std::string& user, const std::string& password);
std::string plainCommand();
std::string plainResponse(const std::string& user, const std::string& password);

std::string loginCommand();
// The answer to one of the server's two LOGIN questions.
std::string loginAnswer(const std::string& text);

}  // namespace SmtpAuth
