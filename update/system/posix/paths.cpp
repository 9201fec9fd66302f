// Other systems: paths, arguments and the module's paths are UTF-8 bytes as they stand.
#include "system/paths.h"
#include "system/host_platform.h"

#include <algorithm>

namespace torvexupdate {

extern const char kPathSeparators[] = "/";
extern const bool kFileNamesIgnoreCase = false;

std::string SystemPathOfModulePath(const std::string& modulePath)
{
    std::string path = modulePath;
    std::replace(path.begin(), path.end(), '\\', '/');  // as the module does here
    return path;
}

long long FileTell(std::FILE* file)
{
    return static_cast<long long>(ftello(file));
}

std::vector<std::string> Utf8Arguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

std::filesystem::path FsPath(const std::string& utf8)
{
    return std::filesystem::path(utf8);
}

std::string Utf8Of(const std::filesystem::path& path)
{
    return path.string();
}

std::FILE* OpenFile(const std::string& utf8, const char* mode)
{
    return std::fopen(utf8.c_str(), mode);
}

NarrowPath ForModule(const std::string& utf8)
{
    NarrowPath result;
    result.usable = true;
    result.bytes = utf8;
    return result;
}

std::string AnsiToUtf8(const std::string& bytes)
{
    return bytes;
}

}  // namespace torvexupdate
