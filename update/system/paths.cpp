#include "system/paths.h"

#include "system/host_platform.h"

#include <cctype>
#include <cstring>

namespace torvexupdate {

std::string AbsolutePath(const std::string& utf8)
{
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(FsPath(utf8), error);
    return error ? utf8 : Utf8Of(absolute);
}

std::string FolderOf(const std::string& path)
{
    std::size_t separator = path.find_last_of(kPathSeparators);
    if (separator == std::string::npos)
        return "";
    return separator == 0 ? path.substr(0, 1) : path.substr(0, separator);
}

std::string FileNameOf(const std::string& path)
{
    std::size_t separator = path.find_last_of(kPathSeparators);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    if (std::strchr(kPathSeparators, folder.back()) != nullptr)
        return folder + name;
    return folder + kPathSeparators[0] + name;
}

bool HasModuleFileName(const std::string& path)
{
    std::string name = FileNameOf(path);
    if (kFileNamesIgnoreCase)
        for (char& c : name)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
    return name == "torvex.dll";
}

}  // namespace torvexupdate
