#pragma once
#include <cstddef>
#include <string>

// Header text outside ASCII as encoded words of RFC 2047 ("=?windows-1252?Q?
// Zo=EB?="), so that a contact's name reaches the reader as typed. The
// charset is the one the text is in (see Charset).
namespace EncodedWord {

// True when the text can stand in a header as it is: printable ASCII and
// blanks only, and nothing that would read as an encoded word.
bool isPlain(const std::string& text);

// The text as Q-encoded words, folded so that no line of the header passes
// 76 characters: the first line holds `prefixLength` characters before the
// value ("Subject: " is 9), each further line starts with a blank. No CR LF
// at the end.
std::string encode(const std::string& text, std::size_t prefixLength, const std::string& charset);

}  // namespace EncodedWord
