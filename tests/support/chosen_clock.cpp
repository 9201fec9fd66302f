// The clock of the module copy that date tests load in place of the system's: the time
// in the environment variable TORVEX_TEST_TIME (seconds since 1970-01-01 UTC), read at
// each call, or the system's time when it is unset.
#include "platform/platform.h"

#include <cstdlib>
#include <ctime>

long long Platform_CurrentTime()
{
    const char* chosen = std::getenv("TORVEX_TEST_TIME");
    if (chosen != nullptr && chosen[0] != '\0')
        return std::strtoll(chosen, nullptr, 10);
#if defined(_WIN32)
    return static_cast<long long>(_time64(nullptr));
#else
    return static_cast<long long>(std::time(nullptr));
#endif
}
