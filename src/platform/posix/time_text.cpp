#include "platform/platform.h"

#include <cstring>
#include <ctime>

bool Platform_TimeText(long long seconds, char* text, std::size_t size)
{
    if (size == 0)
        return false;
    text[0] = '\0';
    std::time_t time = static_cast<std::time_t>(seconds);
    char shown[64] = {};  // ctime_r gives at most 26 bytes, or null for longer years
    if (ctime_r(&time, shown) == nullptr || std::strlen(shown) >= size)
        return false;
    std::memcpy(text, shown, std::strlen(shown) + 1);
    return true;
}
