#pragma once
#include "forward/MessageEvent.h"

struct MessageRecord;

// Copies a received record: null texts give empty fields, the connection is
// always copied, the text loses its markup.
MessageEvent makeMessageEvent(const MessageRecord& record);
