// The application lock: a count of the reasons the process must keep running
// for others. Every document takes one for its lifetime, so a server started
// by a container stays alive while a document it serves exists, and may end
// once the count is back at zero and no window of the user's is open.
//
// It only counts and reports; deciding to end the process is the embedding
// server's (embedserver.h), which installs the hook.
#pragma once

#include <functional>

void praxLockApp();
// Releases one lock; the hook hears of every change.
void praxUnlockApp();
int praxAppLockCount();

// Called after each lock and unlock with the new count; nullptr removes it.
using AppLockHook = std::function<void(int count)>;
void setAppLockHook(AppLockHook hook);
