#pragma once
#include <windows.h>

#include <functional>

// Waits as the client's thread does: dispatching the messages of the calling
// thread, those of the windows the plug-in made on it included (its failure
// alerts arrive that way), until the condition holds; false when the time
// ran out first.
bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs);
// Dispatches the calling thread's messages for the given time.
void pumpFor(DWORD milliseconds);
