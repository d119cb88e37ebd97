#pragma once
#include <cstddef>
#include <cstring>

// Writes a text into a fixed-size field of a host record or buffer: at most
// the field's size less one byte, then zero bytes up to the end of the field.
// A null text leaves the field all zero. Returns the field.
template <size_t N>
const char* writeField(char (&field)[N], const char* text) {
    std::memset(field, 0, N);
    if (text) std::strncpy(field, text, N - 1);
    return field;
}
