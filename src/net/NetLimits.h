#pragma once
#include <cstdint>

// How long opening a connection may wait on the other side, in
// milliseconds. Without a limit a server that accepts and never answers (or
// a STARTTLS setting pointed at a TLS port, where both sides wait for the
// other) would hold every later mail for ever.
struct NetLimits {
    // A reachable server answers a connect within a second; 30 s allows for
    // a slow network and a few lost packets, as Windows' own retries do.
    static constexpr uint32_t kConnectMs = 30 * 1000;
    // A handshake takes two or three round trips and a few signatures;
    // two minutes covers a loaded server on a poor line.
    static constexpr uint32_t kTlsHandshakeMs = 2 * 60 * 1000;

    uint32_t connectMs = kConnectMs;  // the name lookup and the connect
    uint32_t tlsHandshakeMs = kTlsHandshakeMs;
};
