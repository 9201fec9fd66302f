// Windows: the system's own INI reader, the one the module reads its setting with.
#include "system/paths.h"
#include "system/host_platform.h"

#include <windows.h>

#include <filesystem>

namespace torvexupdate {

std::string ReadLibraryFolderSetting(const std::string& iniPath)
{
    wchar_t buffer[260] = {};
    GetPrivateProfileStringW(L"TorvexPath", L"QuelvanePath", L"", buffer, 260, FsPath(iniPath).c_str());
    return Utf8Of(std::filesystem::path(std::wstring(buffer)));
}

}  // namespace torvexupdate
