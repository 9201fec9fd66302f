#include "platform/sim_platform.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace qsim {
namespace {

SRWLOCK g_callLock = SRWLOCK_INIT;

}  // namespace

void LockCalls()
{
    AcquireSRWLockExclusive(&g_callLock);
}

void UnlockCalls()
{
    ReleaseSRWLockExclusive(&g_callLock);
}

}  // namespace qsim
