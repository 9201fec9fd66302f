#include "platform/sim_platform.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace qsim {

void SleepMilliseconds(uint64_t milliseconds)
{
    Sleep(static_cast<DWORD>(milliseconds));
}

}  // namespace qsim
