#include "platform/platform.h"

#include <pthread.h>

namespace {

// Statically initialised: ready before the first export runs, whichever thread calls first.
pthread_mutex_t g_callLock = PTHREAD_MUTEX_INITIALIZER;

}  // namespace

void Platform_LockCalls()
{
    pthread_mutex_lock(&g_callLock);
}

void Platform_UnlockCalls()
{
    pthread_mutex_unlock(&g_callLock);
}
