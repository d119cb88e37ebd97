#pragma once
#include <windows.h>

#include <functional>

// Waits as the host's thread does: dispatching the messages of the calling
// thread (windows the plug-in made on it included) until the condition
// holds; false when the time ran out first.
bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs);
// Dispatches the calling thread's messages for the given time.
void pumpFor(DWORD milliseconds);
