#pragma once
#include <cstddef>
#include <string>

// A byte stream to a server, as its client sees it: the plain TCP
// connection (PlainConnection) or TLS over it (TlsConnection). Blocking;
// nothing times out, and only shutDown() ends a wait from outside.
class Connection {
public:
    virtual ~Connection() = default;

    // Sends every byte; false when the connection broke first.
    virtual bool sendAll(const std::string& bytes) = 0;
    // Waits for at least one byte and appends what arrived; false when the
    // connection ended or broke instead.
    virtual bool receive(std::string& bytes) = 0;
    // Ends the connection in both directions, so that a wait in another
    // thread returns. Safe to call from any thread while the connection lives.
    virtual void shutDown() = 0;
};
