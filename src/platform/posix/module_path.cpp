#include "platform/platform.h"

#include <link.h>
#include <unistd.h>
#include <cstring>

namespace {

struct ModuleSearch {
    const char* name;
    const char* path;  // the loaded object's path once found
};

const char* BaseName(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

int MatchModule(dl_phdr_info* info, std::size_t, void* data)
{
    auto* search = static_cast<ModuleSearch*>(data);
    if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0'
        && std::strcmp(BaseName(info->dlpi_name), search->name) == 0) {
        search->path = info->dlpi_name;
        return 1;
    }
    return 0;
}

// Copies like the Windows call: truncated and terminated, returning `size` when cut.
std::size_t CopyPath(const char* source, std::size_t sourceLength, char* path, std::size_t size)
{
    if (sourceLength >= size) {
        std::memcpy(path, source, size - 1);
        path[size - 1] = '\0';
        return size;
    }
    std::memcpy(path, source, sourceLength);
    path[sourceLength] = '\0';
    return sourceLength;
}

}  // namespace

std::size_t Platform_ModuleFilePath(const char* moduleName, char* path, std::size_t size)
{
    if (path == nullptr || size == 0)
        return 0;
    path[0] = '\0';
    ModuleSearch search{moduleName != nullptr ? moduleName : "", nullptr};
    if (search.name[0] != '\0')
        dl_iterate_phdr(MatchModule, &search);
    if (search.path != nullptr)
        return CopyPath(search.path, std::strlen(search.path), path, size);

    // No module of that name: the host program's executable, as on Windows.
    char exe[4096];
    ssize_t length = readlink("/proc/self/exe", exe, sizeof exe);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof exe)
        return 0;
    return CopyPath(exe, static_cast<std::size_t>(length), path, size);
}

bool Platform_SplitFolder(const char* path, char* drive, std::size_t driveSize,
                          char* folder, std::size_t folderSize)
{
    if (driveSize == 0 || folderSize == 0)
        return false;
    const char* lastSeparator = std::strrchr(path, '/');
    std::size_t folderLength = lastSeparator != nullptr ? static_cast<std::size_t>(lastSeparator - path) + 1 : 0;
    if (folderLength >= folderSize)
        return false;
    drive[0] = '\0';  // no drives here
    std::memcpy(folder, path, folderLength);
    folder[folderLength] = '\0';
    return true;
}
