#pragma once
#include <string>
#include <vector>

// The certificates of a "Trusted CA File": every "CERTIFICATE" block of a
// PEM file, or the whole file as one DER certificate when it holds no PEM
// block. A block that is not Base64 is skipped.
std::vector<std::string> certificatesInFile(const std::string& contents);
