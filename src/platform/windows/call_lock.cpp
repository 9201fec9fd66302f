#include "platform/platform.h"

#include <windows.h>

namespace {

// A slim reader/writer lock needs no initialisation call, so it is ready before the
// first export runs, whichever thread calls first.
SRWLOCK g_callLock = SRWLOCK_INIT;

}  // namespace

void Platform_LockCalls()
{
    AcquireSRWLockExclusive(&g_callLock);
}

void Platform_UnlockCalls()
{
    ReleaseSRWLockExclusive(&g_callLock);
}
