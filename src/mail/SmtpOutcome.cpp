#include "mail/SmtpOutcome.h"

const char* stageName(SmtpStage stage) {
    switch (stage) {
        case SmtpStage::NameLookup: return "name lookup";
        case SmtpStage::Connect: return "connect";
        case SmtpStage::Greeting: return "greeting";
        case SmtpStage::Hello: return "EHLO/HELO";
        case SmtpStage::StartTls: return "STARTTLS";
        case SmtpStage::Certificate: return "certificate";
        case SmtpStage::Login: return "login";
        case SmtpStage::MailFrom: return "MAIL";
        case SmtpStage::Recipient: return "RCPT";
        case SmtpStage::Data: return "DATA";
        case SmtpStage::EndOfData: return "end of data";
    }
    return "unknown";
}
