#include "platform/platform.h"

#include <cstring>
#include <ctime>

// The runtime's time_t is 32 bits in this build: the 64-bit call keeps working past
// 2038-01-19 03:14:07 UTC (the runtime shows dates up to the year 3000).
bool Platform_TimeText(long long seconds, char* text, std::size_t size)
{
    if (size == 0)
        return false;
    text[0] = '\0';
    __time64_t time = static_cast<__time64_t>(seconds);
    const char* shown = _ctime64(&time);
    if (shown == nullptr || std::strlen(shown) >= size)
        return false;
    std::memcpy(text, shown, std::strlen(shown) + 1);
    return true;
}
