#pragma once
#include <string>

// Where opening a connection stood when it ended, in the order it passes
// through the stages.
enum class NetStage {
    NameLookup,    // finding the server's address
    Connect,       // opening the TCP connection
    TlsHandshake,  // the TLS handshake
    Certificate,   // the check of the server's certificate and name
};

// What became of one step of opening a connection: a success names the
// stage passed, a failure the stage that failed and why in words.
struct NetOutcome {
    bool succeeded = false;
    NetStage stage = NetStage::NameLookup;
    std::string detail;

    static NetOutcome success(NetStage stage) { return {true, stage, {}}; }
    static NetOutcome failure(NetStage stage, const std::string& detail) { return {false, stage, detail}; }
};
