#include "forward/MessageHandler.h"

// Placeholder until forwarding lands: nothing is forwarded.
void MessageHandler::handle(RelayPlugin&, const MessageEvent&) {}
