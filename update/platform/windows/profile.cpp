// Windows: the system's own INI reader, the one the module reads its setting with.
#include "paths.h"
#include "platform/host_platform.h"

#include <windows.h>

#include <filesystem>

namespace torvexupdate {

bool ReadLibraryFolderSetting(const std::string& iniPath, std::string* value)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(FsPath(iniPath), error))
        return false;
    wchar_t buffer[260] = {};
    GetPrivateProfileStringW(L"TorvexPath", L"QuelvanePath", L"", buffer, 260, FsPath(iniPath).c_str());
    *value = Utf8Of(std::filesystem::path(std::wstring(buffer)));
    return true;
}

}  // namespace torvexupdate
