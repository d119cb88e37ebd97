#pragma once
#include <string>

// A fresh Message-ID at the domain: the time, a running number, and 96 bits
// of the system's cryptographic random source.
std::string newMessageId(const std::string& domain);
