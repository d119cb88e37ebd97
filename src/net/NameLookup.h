#pragma once
#include <cstdint>
#include <string>

class AbortSignal;

// A server's name looked up to its first IPv4 address, on a thread of its
// own: Windows gives a lookup no time limit and no way to cancel it, so the
// caller waits only as long as it wants to, and a stop never waits for it.
// An abandoned lookup finishes by itself and frees what it holds.
namespace NameLookup {

enum class Result { Found, NotFound, TimedOut, Stopped };

// A dotted address is taken as it is, without a lookup; an empty name is no
// server at all, not the local machine. Windows Sockets must be started.
Result ipv4Address(const std::string& name, uint32_t limitMs, AbortSignal* abort, uint32_t& address);

}  // namespace NameLookup
