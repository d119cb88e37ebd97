#pragma once

class RelayPlugin;
struct MessageEvent;

// What happens to one broadcast message: the filters, the destination, the
// mails queued, the systray alert and the reply. The body of
// RelayPlugin::onMessageBroadcast; runs on the host's thread.
class MessageHandler {
public:
    static void handle(RelayPlugin& plugin, const MessageEvent& event);
};
