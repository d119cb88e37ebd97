#pragma once
#include <string>

// A secret as the INI file keeps it ("SMTP Password"): protected with DPAPI
// for the current user and written as Base64, never in the clear.
namespace ProtectedText {

// Empty for an empty text, and when the platform cannot protect it: a
// secret is rather lost than stored in the clear.
std::string protect(const std::string& clear);
// Empty for anything that does not unprotect for this user.
std::string unprotect(const std::string& stored);

}  // namespace ProtectedText
