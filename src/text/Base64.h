#pragma once
#include <string>

// Base64 of RFC 4648, as AUTH (RFC 4954), PEM files and the stored password
// use it.
namespace Base64 {

// One line without breaks, padded with "=".
std::string encode(const std::string& bytes);
// Blanks and line ends are skipped. False when anything else is not Base64,
// or the padding is wrong; `bytes` is then unspecified.
bool decode(const std::string& text, std::string& bytes);

}  // namespace Base64
