#pragma once
#include <string>

// A secret setting ("SMTP Password", "Push URL") as the INI file keeps it:
// protected with DPAPI for this user, with the module's entropy, as Base64.
// Written independently of the module, so that tests can both write such a
// value and check one the module wrote.
std::string protectedSetting(const std::string& clear);
// Empty when the value does not unprotect.
std::string unprotectedSetting(const std::string& stored);
