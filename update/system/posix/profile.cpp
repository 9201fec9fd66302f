// Other systems: the module's own portable INI reader (src/platform/posix/profile.cpp,
// built into this library too), so that both read the setting by one rule.
#include "system/host_platform.h"
#include "platform/platform.h"

namespace torvexupdate {

std::string ReadLibraryFolderSetting(const std::string& iniPath)
{
    char buffer[260] = {};
    Platform_ReadProfileString("TorvexPath", "QuelvanePath", "", buffer, sizeof buffer, iniPath.c_str());
    return buffer;
}

}  // namespace torvexupdate
