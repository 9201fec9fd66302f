#include "platform/platform.h"

#include <ctime>

// The runtime's time_t is 32 bits in this build and stops on 2038-01-19; its 64-bit
// counterpart does not.
long long Platform_CurrentTime()
{
    return static_cast<long long>(_time64(nullptr));
}
