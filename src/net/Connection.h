#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// A byte stream to a server, as its client sees it: the plain TCP
// connection (PlainConnection) or TLS over it (TlsConnection). Blocking,
// within a time limit; an abort signal, or shutDown() from another thread,
// ends a wait at once.
class Connection {
public:
    virtual ~Connection() = default;

    // Sends every byte; false when the connection broke first.
    virtual bool sendAll(const std::string& bytes) = 0;
    // Waits for at least one byte and appends what arrived; false when the
    // connection ended or broke instead.
    virtual bool receive(std::string& bytes) = 0;
    // Every wait of the sends and receives that follow ends within this
    // many milliseconds from now, failing its call.
    virtual void limitWaits(uint32_t milliseconds) = 0;
    // A call failed because the time ran out.
    virtual bool timedOut() const = 0;
    // Ends the connection in both directions, so that a wait in another
    // thread returns. Safe to call from any thread while the connection lives.
    virtual void shutDown() = 0;
};
