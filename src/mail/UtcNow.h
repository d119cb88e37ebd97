#pragma once
#include "mail/MailDate.h"

// The system's clock now, in Coordinated Universal Time: for a mail's Date
// and the delivery log's lines.
MailTime utcNow();
