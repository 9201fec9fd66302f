#include "platform/platform.h"

#include <ctime>

static_assert(sizeof(std::time_t) >= 8, "time_t must hold dates past 2038");

long long Platform_CurrentTime()
{
    return static_cast<long long>(std::time(nullptr));
}
