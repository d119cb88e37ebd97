#pragma once
#include <string>

// The text of a mail as its reader sees it (RFC 2045, 2046): the first
// text/plain part in the order the parts stand, else the first text/html
// part as HtmlText shows it; attachments are passed over. Quoted-printable
// and base64 are decoded, format=flowed lines (RFC 3676) joined. The text
// stays in the part's charset, which is named beside it (US-ASCII where the
// part names none).
struct MimeText {
    bool found = false;
    std::string text;
    std::string charset;  // in lower case
};

MimeText readableText(const std::string& mail);

// The decodings on their own, lenient as a reader must be with what a
// sender or a cut-off fetch leaves: a broken "=" sequence stays as it is,
// bytes outside base64 are skipped and an unfinished group is dropped.
std::string decodeQuotedPrintable(const std::string& text);
std::string decodeBase64(const std::string& text);
