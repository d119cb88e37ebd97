#include "imap/ImapOutcome.h"

const char* imapStageName(ImapStage stage) {
    switch (stage) {
        case ImapStage::Connect: return "connect";
        case ImapStage::Greeting: return "greeting";
        case ImapStage::StartTls: return "STARTTLS";
        case ImapStage::Certificate: return "certificate";
        case ImapStage::Login: return "LOGIN";
        case ImapStage::Select: return "SELECT";
        case ImapStage::Search: return "SEARCH";
        case ImapStage::Fetch: return "FETCH";
        case ImapStage::Store: return "STORE";
        case ImapStage::Idle: return "IDLE";
    }
    return "?";
}
