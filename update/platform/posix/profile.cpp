// Other systems: the module's own portable INI reader (src/platform/posix/profile.cpp,
// built into this library too), so that both read the setting by one rule.
#include "paths.h"
#include "platform/host_platform.h"
#include "platform/platform.h"

#include <filesystem>

namespace torvexupdate {

bool ReadLibraryFolderSetting(const std::string& iniPath, std::string* value)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(FsPath(iniPath), error))
        return false;
    char buffer[260] = {};
    Platform_ReadProfileString("TorvexPath", "QuelvanePath", "", buffer, sizeof buffer, iniPath.c_str());
    *value = buffer;
    return true;
}

}  // namespace torvexupdate
