#include "mail/SmtpOutcome.h"

namespace {

SmtpStage smtpStageOf(NetStage stage) {
    switch (stage) {
        case NetStage::NameLookup: return SmtpStage::NameLookup;
        case NetStage::Connect: return SmtpStage::Connect;
        case NetStage::TlsHandshake: return SmtpStage::StartTls;
        case NetStage::Certificate: return SmtpStage::Certificate;
    }
    return SmtpStage::Connect;
}

}  // namespace

SmtpOutcome smtpOutcomeOf(const NetOutcome& outcome) {
    SmtpOutcome smtp{outcome.succeeded, smtpStageOf(outcome.stage), 0, std::string(), outcome.detail, 0, false};
    smtp.lasting = !outcome.succeeded && outcome.stage == NetStage::Certificate;
    return smtp;
}

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
