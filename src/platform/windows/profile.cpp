// INI reading: the system's own profile call.
#include "platform/platform.h"

#include <windows.h>

void Platform_ReadProfileString(const char* section, const char* key, const char* defaultValue,
                                char* value, std::size_t size, const char* iniPath)
{
    GetPrivateProfileStringA(section, key, defaultValue, value, static_cast<DWORD>(size), iniPath);
    value[size - 1] = '\0';
}
