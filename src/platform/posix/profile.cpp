// The profile call the module relies on on Windows, by the reader the host programs share.
#include "platform/platform.h"
#include "common/ini_profile.h"

void Platform_ReadProfileString(const char* section, const char* key, const char* defaultValue, char* value,
                                std::size_t size, const char* iniPath)
{
    ReadIniString(section, key, defaultValue, value, size, iniPath);
}
