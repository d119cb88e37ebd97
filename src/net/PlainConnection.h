#pragma once
#include <cstdint>
#include <string>

#include "net/Connection.h"
#include "net/NetLimits.h"
#include "net/NetOutcome.h"

class AbortSignal;

// A TCP connection over Windows Sockets, the only user of Winsock in the
// module. Each connection starts Windows Sockets for itself and cleans it up
// when it ends, so start-ups and clean-ups always pair up.
class PlainConnection : public Connection {
public:
    // With an abort signal, the stopping thread can shut the connection down
    // while it is being made or used.
    explicit PlainConnection(AbortSignal* abort = nullptr);
    ~PlainConnection() override;
    PlainConnection(const PlainConnection&) = delete;
    PlainConnection& operator=(const PlainConnection&) = delete;

    // Connects to the server: a dotted IPv4 address as it is, anything else
    // looked up once by name, its first address taken; the lookup and the
    // connect each within the limit. A failure (or an abort meanwhile) is
    // the NameLookup or Connect stage.
    NetOutcome connect(const std::string& server, int32_t port, uint32_t limitMs = NetLimits::kConnectMs);

    bool sendAll(const std::string& bytes) override;
    bool receive(std::string& bytes) override;
    void limitWaits(uint32_t milliseconds) override;
    bool timedOut() const override { return timedOut_; }
    void shutDown() override;

    // Closes the socket; the connection cannot be used again.
    void close();

private:
    enum class Direction { Connect, Send, Receive };

    bool wait(Direction direction);
    bool stopped() const;
    int pendingError() const;

    AbortSignal* abort_;
    uintptr_t socket_;
    bool winsockStarted_ = false;
    unsigned long waitStart_ = 0;
    uint32_t waitLimitMs_ = NetLimits::kConnectMs;
    bool timedOut_ = false;
};
