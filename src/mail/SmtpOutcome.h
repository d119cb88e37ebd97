#pragma once
#include <string>

// The step of an SMTP attempt at which it ended, in the order they happen.
enum class SmtpStage {
    NameLookup,
    Connect,
    Greeting,
    Hello,
    StartTls,
    Certificate,
    Login,
    MailFrom,
    RcptTo,
    Data,
    EndOfData,
};

// How one connection or one mail went: the stage reached, and there the
// server's reply code and the rest of its first line, or, where no reply
// came, what went wrong on this side.
struct SmtpOutcome {
    SmtpStage stage = SmtpStage::Connect;
    bool ok = false;
    int code = 0;      // 0 when the server did not answer
    std::string text;  // the reply's first line after the code, or a local reason

    static SmtpOutcome success(SmtpStage stage, int code, const std::string& text) {
        return {stage, true, code, text};
    }
    static SmtpOutcome failure(SmtpStage stage, int code, const std::string& text) {
        return {stage, false, code, text};
    }
};

// The outcome of a reply's first line at the stage: ok when its code is of
// the class the stage expects (2xx, or 3xx after DATA).
SmtpOutcome outcomeOfReply(SmtpStage stage, const std::string& firstLine);
