#pragma once
#include <cstdint>
#include <string>

// Whole numbers as text the way the printf family writes them, without it:
// its floating-point support alone would be a fifth of the DLL.
namespace NumberText {

// As "%0*lld": at least `width` characters, zeros after a minus sign.
void appendDecimal(std::string& out, int64_t value, int width = 1);
// As "%0*llx": lower-case hexadecimal digits.
void appendHex(std::string& out, uint64_t value, int width = 1);

}  // namespace NumberText
