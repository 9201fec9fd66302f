// Other systems: the INI reader the module reads its setting with (common/ini_profile.h),
// so that both read the setting by one rule.
#include "common/ini_profile.h"
#include "system/host_platform.h"

namespace torvexupdate {

std::string ReadLibraryFolderSetting(const std::string& iniPath)
{
    char buffer[260] = {};
    ReadIniString("TorvexPath", "QuelvanePath", "", buffer, sizeof buffer, iniPath.c_str());
    return buffer;
}

}  // namespace torvexupdate
