#pragma once
#include <string>

#include "mail/MailJob.h"

// The conversation and the message of the protected modes (STARTTLS, TLS):
// EHLO, addresses in angle brackets, and a complete MIME message with a
// Message-ID, a character set and a transfer encoding that the server takes.
namespace MimeMessage {

// What the session adds to the job's texts.
struct Extras {
    std::string date;       // as formatMailDate() gives it
    std::string messageId;  // with its angle brackets
    bool eightBitMime;      // the body goes out as 8-bit (see sendsEightBit)
    std::string charset = "windows-1252";  // the one the job's texts are in
};

// Whether the body goes out as 8-bit: the server offers 8BITMIME and no line
// would need breaking (RFC 5321 4.5.3.1.6); otherwise quoted-printable keeps
// the text as typed.
bool sendsEightBit(const std::string& body, bool serverOffersEightBit);

std::string ehloLine(const std::string& heloDomain);
std::string startTlsLine();
// "MAIL FROM:<...>", with " BODY=8BITMIME" when the body goes out as 8-bit.
std::string mailFromLine(const std::string& sender, bool eightBitMime);
std::string rcptToLine(const std::string& recipient);

// The address in one pair of angle brackets, on one line.
std::string bracketed(const std::string& address);

// Everything sent after the server's invitation to DATA: the header lines,
// the empty line, the body in its transfer encoding, and the line ".".
std::string data(const MailJob& job, const Extras& extras);

}  // namespace MimeMessage
