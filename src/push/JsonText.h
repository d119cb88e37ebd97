#pragma once
#include <optional>
#include <string>

// The little of JSON (RFC 8259) the push services need: strings written,
// and one member of an error answer read.
namespace JsonText {

// The UTF-8 text as a JSON string, quotes included: '"', '\' and every
// control character escaped, everything else as it is.
std::string quoted(const std::string& utf8);

// The member of the top-level object with this name, when it is a string,
// or the first string of it when it is an array; none when the text is not
// an object or has no such member. Escapes are decoded to UTF-8.
std::optional<std::string> memberText(const std::string& json, const std::string& name);

}  // namespace JsonText
