#pragma once
#include <string>

// The quoted-printable transfer encoding of RFC 2045 6.7, for a mail body of
// 8-bit text sent to a server that does not take 8-bit data.
namespace QuotedPrintable {

// Every line end of the text (CR LF, LF or CR) becomes CR LF; every other
// byte outside printable ASCII, "=", a blank before a line end and a "." at
// the start of a line become "=XX"; no line is longer than 76 characters,
// broken with soft line breaks ("=" at the end of a line).
std::string encode(const std::string& text);

}  // namespace QuotedPrintable
