#pragma once
#include <cstddef>
#include <string>

// Counting characters in UTF-8 text: a character is a byte that does not
// continue a sequence, with the bytes that continue it.
namespace Utf8Text {

std::size_t length(const std::string& text);

// The offset `count` characters after `from` (a character's start), or the
// text's end when fewer follow.
std::size_t advance(const std::string& text, std::size_t from, std::size_t count);

}  // namespace Utf8Text
