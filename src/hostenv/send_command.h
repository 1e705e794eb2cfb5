// Queues command-line input to the current drawing, exactly as a user would
// type it ("\n" is the Enter key). The host runs queued scripts after the
// running command returns, in the order queued, echoing each.
#pragma once

#include <functional>

// The host copies the text when it is queued, so a temporary may be released
// right after the call.
void SendCommand(const char* text);

// Sees every script as it is handed to the host, before the host runs it;
// for tests that compare the queued texts byte for byte. An empty function
// removes the observer.
void SetScriptObserver(std::function<void(const char* text)> observer);
