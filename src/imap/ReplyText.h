#pragma once
#include <cstddef>
#include <string>

// What of an answer written on a phone goes back as an IM: the quoted lines
// (">") and the "On ... wrote:" line before them, a signature from its
// "-- " line on, and the "Sent from my ..." line that phone apps add are
// dropped; blanks and blank lines are collapsed to one, line ends become
// CR LF, and the text is cut to 1000 bytes. An empty result means that
// nothing is to be sent.
namespace ReplyText {

// Keeps an answer well within what an IM carries.
const std::size_t kMaxBytes = 1000;

std::string clean(const std::string& text);

}  // namespace ReplyText
