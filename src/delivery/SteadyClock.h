#pragma once
#include <cstdint>

// Milliseconds of a clock that only goes forward; only differences mean
// anything. The retry backlog, the book of sent Message-IDs and the pacing
// of answers count with it.
uint64_t steadyMilliseconds();
