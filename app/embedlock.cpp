// The application lock; see embedlock.h.
#include "app/embedlock.h"

namespace {
int g_lockCount = 0;
AppLockHook g_hook;

void report()
{
    if (g_hook)
        g_hook(g_lockCount);
}
} // namespace

void praxLockApp()
{
    ++g_lockCount;
    report();
}

void praxUnlockApp()
{
    // An unlock without its lock must not drive the count below zero and
    // make a later lock look like the last one released.
    if (g_lockCount > 0)
        --g_lockCount;
    report();
}

int praxAppLockCount()
{
    return g_lockCount;
}

void setAppLockHook(AppLockHook hook)
{
    g_hook = std::move(hook);
}
