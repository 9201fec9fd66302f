#include "platform/sim_platform.h"

#include <pthread.h>

namespace qsim {
namespace {

pthread_mutex_t g_callLock = PTHREAD_MUTEX_INITIALIZER;

}  // namespace

void LockCalls()
{
    pthread_mutex_lock(&g_callLock);
}

void UnlockCalls()
{
    pthread_mutex_unlock(&g_callLock);
}

}  // namespace qsim
