#pragma once
#include <cstdint>
#include <string>

// What the server made of a connection or a job, as the sender thread acts
// on it.
enum class Verdict {
    Done,            // opened, or sent
    RefusedForNow,   // may work later: kept when the job asks for retries
    RefusedForGood,  // will not work: dropped
};

// What became of opening a connection (Transport::open) or of one job sent
// through it (Transport::send), in the words of the transport that knows the
// server's answers. Never holds a password or the text of a job.
struct DeliveryOutcome {
    Verdict verdict = Verdict::RefusedForGood;
    // Where it ended, for the delivery log: "RCPT", "connect".
    std::string stage;
    // The server's answer code; 0 when it gave none.
    int code = 0;
    // For the delivery log: the answer's text after its code, or, where the
    // server gave none, why not.
    std::string answer;
    // For the alert, when it failed: what went wrong, naming the server, such
    // as "smtp.example.com refused the login (535)".
    std::string failure;
    // How long the server asked to be left alone before the next try
    // (Retry-After); 0 when it did not say.
    uint64_t retryAfterMs = 0;

    bool succeeded() const { return verdict == Verdict::Done; }
};
